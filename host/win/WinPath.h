#pragma once
// Mapping of Windows paths onto the file system.
//
// The drive map is a host setting: the environment variable VKCAD_DRIVES, for example
// "C=/srv/cad/c;D=/mnt/d", read once at first use and changeable with SetDriveMap. A drive
// that the map does not name lands in $HOME/.vkcad/drives/<letter> (lower case), created on
// demand; so "c:\sgd.ini" is "$HOME/.vkcad/drives/c/sgd.ini" unless VKCAD_DRIVES says where C
// lies. Paths without a drive letter are relative to the current directory, or absolute
// POSIX paths when they begin with a separator.
#include <compare>
#include <cstdint>
#include <map>
#include <string>

#include "host/win/CString.h"

namespace vkwin {

// "C:\a\b.txt" -> "/srv/cad/c/a/b.txt"; separators '\' and '/' are both accepted.
std::string ToHostPath(const CString& winPath);
// "/srv/cad/c/a/b.txt" -> "C:\a\b.txt" when it lies under a mapped drive, else the POSIX
// path with backslashes ("\tmp\x" for "/tmp/x").
CString FromHostPath(const std::string& hostPath);

// Which file a path names, however it is spelled: relative or absolute, "./", "//", "..",
// backslashes or slashes, a drive letter, a symbolic link. An existing file is its device and
// inode; a file that does not exist yet is its resolved folder and name, so that two spellings
// of a drawing not yet saved are one too. Computed afresh each time: a save that renames a new
// file into place gives the same path a new inode, and both sides of a comparison see it.
struct FileIdentity {
    bool exists = false;
    std::uint64_t device = 0, inode = 0;
    std::string resolved;  // a file that does not exist: the absolute path, links resolved
    auto operator<=>(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const CString& winPath);
// True when both paths name one file; an empty path names none.
bool IsSameFile(const CString& a, const CString& b);

void SetDriveMap(const std::map<char, std::string>& drives);  // letters upper case
std::map<char, std::string> GetDriveMap();
// Parses "C=/x;D=/y"; returns false and leaves the map alone on malformed text.
bool ParseDriveMap(const std::string& text, std::map<char, std::string>& out);

}  // namespace vkwin
