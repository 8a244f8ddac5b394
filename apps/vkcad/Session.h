#pragma once
// A vkcad run in the ordinary form: plug-ins, project and drawing, then a script or the
// interactive console.
#include <iosfwd>
#include <string>
#include <vector>

#include "apps/vkcad/Options.h"

namespace vkcad {

// The plug-ins named in vkcad.plugins in exeDir (one relative name a line; blank lines and
// "#" lines skipped), as paths. No list file: none.
std::vector<std::string> DefaultPlugins(const std::string& exeDir);
std::string ExecutableDir();

// Runs the ordinary form; the exit code. Messages that are not the transcript go to err.
int RunSession(const Options& options, std::ostream& err);

// Runs top-level lines until the input ends or QUIT; the number of input lines reported bad
// (not fitting their reader, or naming no command) plus the host commands that failed.
int RunInput();

}  // namespace vkcad
