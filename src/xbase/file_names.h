#pragma once
// File names on the shared drive. The shops' programs and the configuration
// spell names in any letter case and with DOS separators ("F:\DATA\Sor0000.dbf");
// this file system is case-sensitive. These helpers turn such a text into a
// path of this machine and find the file whatever the case of its name.

#include <map>
#include <string>
#include <string_view>

// Drive letters of DOS paths and the directories they stand for here
// (from the configuration); letters are kept upper case.
void SetDriveMap(const std::map<char, std::string>& drives);

// Turns a DOS or native path text into a native one: '\' becomes '/', and a
// leading drive letter with a mapping is replaced by its directory.
std::string NativePath(std::string_view text);

// The existing path that equals `path` but for letter case (ASCII letters),
// component by component; `path` itself when nothing matches.
std::string ResolveCase(const std::string& path);

// NativePath, made absolute against the current directory, case resolved.
std::string ResolveFileName(std::string_view text);

// The name a new index file gets at `path` (already case-resolved) for the
// table file `tableFile` (its name as on disk). An existing file keeps its
// name. A new file of the table's own name (the base names equal but for
// case) takes the table's base name exactly as it is on disk and the
// extension in the letter case of the table's extension (SOR0000.DBF ->
// SOR0000.CDX, Sor0000.dbf -> Sor0000.cdx), the name the shops' programs
// look for; any other new name stays as given.
std::string NewIndexFileName(const std::string& path, const std::string& tableFile);

// The last component of a path without its extension, in upper case
// ("/data/Sor0000.dbf" -> "SOR0000").
std::string TableBaseName(std::string_view path);

// The directory of the running program, with a trailing separator.
std::string ProgramDirectory();

// True when the name has an extension after its last separator.
bool HasExtension(std::string_view path);
