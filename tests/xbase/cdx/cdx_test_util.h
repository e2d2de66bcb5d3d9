#pragma once
// Helpers shared by the index tests: peer fixture paths, order manifests,
// walking a tag, copying fixtures into a temp directory.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "xbase/cdx/cdx_tag.h"

inline std::string PeerFile(const std::string& name) { return std::string(TAMORIX_PEER_FIXTURES) + "/" + name; }

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The record numbers of a manifest, in order.
inline std::vector<long> ReadManifest(const std::string& path) {
  std::vector<long> order;
  for (const std::string& line : ReadLines(path))
    if (!line.empty()) order.push_back(std::stol(line));
  return order;
}

// Record numbers from the first to the last entry of the tag (or its range).
inline std::vector<long> WalkForward(XbCDXTag& tag) {
  std::vector<long> order;
  for (long r = tag.First(); r != 0; r = tag.Next()) order.push_back(r);
  return order;
}

inline std::vector<long> WalkBackward(XbCDXTag& tag) {
  std::vector<long> order;
  for (long r = tag.Last(); r != 0; r = tag.Previous()) order.push_back(r);
  return order;
}

// A writable copy of a fixture file in `dir`.
inline std::string CopyInto(const std::string& dir, const std::string& source, const std::string& name) {
  std::string target = dir + "/" + name;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  return target;
}
