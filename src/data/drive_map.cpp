#include "data/drive_map.h"

#include <cctype>
#include <map>

#include "xbase/file_names.h"
#include "xbase/ini_file.h"

void LoadDriveMap(const std::string& iniPath) {
  std::map<char, std::string> drives;
  for (const auto& [key, dir] : IniFile(iniPath).Section("Disky")) {
    bool letter = !key.empty() && std::isalpha(static_cast<unsigned char>(key[0])) &&
                  (key.size() == 1 || (key.size() == 2 && key[1] == ':'));
    if (letter && !dir.empty()) drives[key[0]] = dir;
  }
  SetDriveMap(drives);
}
