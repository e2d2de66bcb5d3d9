#include "xbase/ini_file.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "xbase/ascii.h"
#include "xbase/platform.h"

namespace {
std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}
}  // namespace

IniFile::IniFile(const std::string& path) {
  std::optional<std::string> text = Platform().ReadWholeFile(path);
  if (!text) return;
  loaded_ = true;
  std::istringstream in(*text);
  std::string line, section;
  while (std::getline(in, line)) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t end = t.find(']');
      section = AsciiUpper(Trim(t.substr(1, end == std::string::npos ? std::string::npos : end - 1)));
      sections_[section];
      continue;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos || section.empty()) continue;
    sections_[section].emplace_back(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
  }
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
  auto it = sections_.find(AsciiUpper(section));
  if (it == sections_.end()) return std::nullopt;
  std::string k = AsciiUpper(key);
  for (const auto& [name, value] : it->second)
    if (AsciiUpper(name) == k) return value;
  return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  return Value(section, key).value_or(def);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  std::optional<std::string> v = Value(section, key);
  if (!v || v->empty()) return def;
  char* end = nullptr;
  long n = std::strtol(v->c_str(), &end, 10);
  if (end == v->c_str() || *end != '\0') return def;
  return n != 0;
}

std::vector<std::pair<std::string, std::string>> IniFile::Section(const std::string& section) const {
  auto it = sections_.find(AsciiUpper(section));
  return it == sections_.end() ? std::vector<std::pair<std::string, std::string>>{} : it->second;
}
