#pragma once
// The project file: UTF-8 INI (see docs/project-file.md).
//   [Project]
//   Dir=<project directory; relative to the project file's folder unless absolute; default that folder>
//   [Floors]
//   <floor name>=<drawing file, relative to the project directory>   (one line per floor, in floor order)
// Paths stored here are host paths (forward slashes); CProj converts to the Windows form.
#include <string>
#include <vector>

#include "host/win/CString.h"

namespace VkQsProject {

struct ProjectFloor {
    CString name;          // floor name
    CString drawing;       // as written in the file
    std::string hostPath;  // the drawing's full host path
};

struct ProjectFile {
    std::string path;      // the project file, absolute host path
    std::string dir;       // the project directory, absolute host path, no trailing slash
    std::vector<ProjectFloor> floors;
};

// Reads and checks a project file. False with a one-line reason ("project.ini line 4: ...")
// for a missing or unreadable file, a malformed line, an unknown section, an empty or
// duplicate floor name, a floor without a drawing, or a project with no floors.
bool LoadProjectFile(const std::string& hostPath, ProjectFile& out, CString& error);
// The same for the file's text, read from absolutePath.
bool ParseProjectFile(std::string text, const std::string& absolutePath, ProjectFile& out, CString& error);
// Writes a new project file: the project directory is the file's folder, and each floor's
// drawing is "NAME.dwg" there. False with the reason for a file that exists, floor names that
// a project file refuses (empty, twice) or that cannot name a file, or a failed write; the
// file is written whole or not at all.
bool WriteNewProjectFile(const std::string& hostPath, const CString& title, const std::vector<CString>& floors,
                         CString& error);

}  // namespace VkQsProject
