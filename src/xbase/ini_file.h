#pragma once
// Reading INI files the way the desktop reads them: section and key names
// compared without regard to case, the value is the text after the first '='
// with surrounding blanks removed, lines starting with ';' are comments, and
// backslashes are kept as they are.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class IniFile {
 public:
  // Reads the file; a missing or unreadable file reads as empty.
  explicit IniFile(const std::string& path);
  bool Loaded() const { return loaded_; }

  // The value of a key, or nothing when the section or key is missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // An integer read as a boolean: 0 is false, any other number true; a value
  // that is no number counts as absent.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  // Every key = value line of a section, in file order.
  std::vector<std::pair<std::string, std::string>> Section(const std::string& section) const;

 private:
  bool loaded_ = false;
  // Sections by upper-case name; each a list of (key, value) in file order.
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> sections_;
};
