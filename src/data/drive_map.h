#pragma once
// Drive letters of the paths that the shops' Windows programs write
// ("F:\DATA\"), mapped to directories of this machine by the optional
// section "Disky" of DataSor.ini: key the drive letter, value a directory
// ("F=/mnt/data").

#include <string>

// Reads the section "Disky" of the INI file at `iniPath` and makes it the
// drive map of file names; keys that are no single letter (an optional ':'
// after it allowed) are passed over. A missing file or section leaves the
// map empty.
void LoadDriveMap(const std::string& iniPath);
