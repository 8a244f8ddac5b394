#pragma once
// Mapping of Windows paths onto the file system.
//
// The drive map is a host setting: the environment variable VKCAD_DRIVES, for example
// "C=/srv/cad/c;D=/mnt/d", read once at first use and changeable with SetDriveMap. A drive
// that the map does not name lands in $HOME/.vkcad/drives/<letter> (lower case), created on
// demand; so "c:\sgd.ini" is "$HOME/.vkcad/drives/c/sgd.ini" unless VKCAD_DRIVES says where C
// lies. Paths without a drive letter are relative to the current directory, or absolute
// POSIX paths when they begin with a separator.
#include <map>
#include <string>

#include "host/win/CString.h"

namespace vkwin {

// "C:\a\b.txt" -> "/srv/cad/c/a/b.txt"; separators '\' and '/' are both accepted.
std::string ToHostPath(const CString& winPath);
// "/srv/cad/c/a/b.txt" -> "C:\a\b.txt" when it lies under a mapped drive, else the POSIX
// path with backslashes ("\tmp\x" for "/tmp/x").
CString FromHostPath(const std::string& hostPath);

void SetDriveMap(const std::map<char, std::string>& drives);  // letters upper case
std::map<char, std::string> GetDriveMap();
// Parses "C=/x;D=/y"; returns false and leaves the map alone on malformed text.
bool ParseDriveMap(const std::string& text, std::map<char, std::string>& out);

}  // namespace vkwin
