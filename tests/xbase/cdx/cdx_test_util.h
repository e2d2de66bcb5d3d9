#pragma once
// Helpers shared by the index tests: peer fixture paths, order manifests,
// walking a tag, copying fixtures into a temp directory.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "dbf_writer.h"
#include "xbase/cdx/cdx_tag.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"

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

// One tag of a peer table, as the table's keys.txt lists it.
struct PeerTag {
  std::string name, key, filter;
  bool unique = false, descending = false;
  long count = 0;
};

inline std::vector<PeerTag> ReadPeerTags(const std::string& table) {
  std::vector<PeerTag> tags;
  for (const std::string& line : ReadLines(PeerFile(table + ".keys.txt"))) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cols;
    std::stringstream in(line);
    for (std::string col; std::getline(in, col, '\t');) cols.push_back(col);
    cols.resize(6);
    tags.push_back(PeerTag{cols[0], cols[1], cols[2], cols[3] == "1", cols[4] == "1", std::stol(cols[5])});
  }
  return tags;
}

// Record numbers from the first to the last entry of the tag (or its range).
inline std::vector<long> WalkForward(XbCdxTag& tag) {
  std::vector<long> order;
  for (long r = tag.First(); r != 0; r = tag.Next()) order.push_back(r);
  return order;
}

inline std::vector<long> WalkBackward(XbCdxTag& tag) {
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

// Writes a field of the working buffer from text, as its type wants it.
inline void SetField(XbDbfFile& t, const std::string& name, const std::string& text) {
  const XbField& f = t.FieldByName(name);
  switch (f.type) {
    case 'N':
    case 'F': t.PutNumberText(f, text); break;
    case 'L': t.PutLogicalText(f, text); break;
    default: t.PutText(f, text); break;
  }
}

// Appends a record with the given field texts (other fields blank).
inline void AppendRow(XbDbfFile& t, const std::vector<std::pair<std::string, std::string>>& values) {
  t.BlankRecord();
  for (const auto& [name, text] : values) SetField(t, name, text);
  t.Append();
}

// Changes fields of record `recno` and writes it back.
inline void UpdateRow(XbDbfFile& t, long recno, const std::vector<std::pair<std::string, std::string>>& values) {
  t.GoTo(recno);
  for (const auto& [name, text] : values) SetField(t, name, text);
  t.Update();
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The message of the EDbfError that `f` raises, or "" when it raises none.
template <class F>
std::string DbfErrorOf(F f) {
  try {
    f();
  } catch (const EDbfError& e) {
    return e.what();
  }
  return {};
}
