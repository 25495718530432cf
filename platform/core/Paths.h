// The system's file names ("DATA\Tecnology.dat", "sound\td.wav") mapped onto this file system.
#pragma once
#include <cstdio>
#include <string>

// Backslashes become slashes; each name of the path that does not exist as written is matched
// against the names of its folder without regard to case (Latin and Cyrillic). A name with no
// match is kept as written (so new files can be created).
std::string MapPath(const std::string& path);

// fopen of MapPath(path).
std::FILE* OpenFile(const std::string& path, const char* mode);
bool FileExists(const std::string& path);
bool DeleteFile(const std::string& path);
