#include "xbase/file_names.h"

#include <cctype>
#include <filesystem>
#include <vector>

#include "xbase/ascii.h"
#include "xbase/platform.h"

namespace {

std::map<char, std::string>& Drives() {
  static std::map<char, std::string> drives;
  return drives;
}

bool Exists(const std::string& path) { return Platform().Exists(path); }

// The entry of `dir` whose name equals `name` but for case, or "".
std::string FindEntry(const std::string& dir, const std::string& name) {
  for (const std::string& entry : Platform().DirectoryEntries(dir))
    if (EqualNoCase(entry, name)) return entry;
  return {};
}

}  // namespace

void SetDriveMap(const std::map<char, std::string>& drives) {
  Drives().clear();
  for (const auto& [letter, dir] : drives)
    Drives()[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = dir;
}

std::string NativePath(std::string_view text) {
  std::string path(text);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    auto it = Drives().find(static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
    if (it != Drives().end()) {
      std::string rest = path.substr(2);
      std::string dir = it->second;
      if (!dir.empty() && dir.back() == '/' && !rest.empty() && rest.front() == '/') dir.pop_back();
      if (!dir.empty() && dir.back() != '/' && !rest.empty() && rest.front() != '/') dir += '/';
      path = dir + rest;
    }
  }
  return path;
}

std::string ResolveCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  auto join = [](const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
  };
  std::string current = path.front() == '/' ? "/" : "";
  size_t start = 0;
  while (start < path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    start = slash + 1;
    if (part.empty()) continue;
    std::string candidate = join(current, part);
    if (!Exists(candidate)) {
      std::string entry = FindEntry(current.empty() ? "." : current, part);
      if (entry.empty()) return path;  // nothing matches: the caller reports the name as given
      candidate = join(current, entry);
    }
    current = candidate;
  }
  return current;
}

std::string ResolveFileName(std::string_view text) {
  std::string path = NativePath(text);
  if (!path.empty() && path.front() != '/') {
    std::string cwd = Platform().CurrentDirectory();
    if (!cwd.empty()) path = cwd + "/" + path;
  }
  return ResolveCase(std::filesystem::path(path).lexically_normal().string());
}

std::string NewIndexFileName(const std::string& path, const std::string& tableFile) {
  if (Exists(path)) return path;
  namespace fs = std::filesystem;
  fs::path index(path), table(tableFile);
  std::string indexStem = index.stem().string(), tableStem = table.stem().string();
  if (!EqualNoCase(indexStem, tableStem)) return path;
  std::string extension = index.extension().string();
  const std::string tableExtension = table.extension().string();
  for (size_t i = 0; i < extension.size() && i < tableExtension.size(); ++i) {
    unsigned char model = static_cast<unsigned char>(tableExtension[i]);
    unsigned char c = static_cast<unsigned char>(extension[i]);
    if (std::isupper(model)) extension[i] = static_cast<char>(std::toupper(c));
    if (std::islower(model)) extension[i] = static_cast<char>(std::tolower(c));
  }
  return (index.parent_path() / (tableStem + extension)).string();
}

std::string TableBaseName(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return AsciiUpper(name);
}

bool HasExtension(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return name.find('.') != std::string_view::npos;
}

std::string ProgramDirectory() {
  std::string path = Platform().ProgramPath();
  if (path.empty()) return "./";
  return path.substr(0, path.find_last_of('/') + 1);
}
