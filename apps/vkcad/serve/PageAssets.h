#pragma once
// The page's files (apps/vkcad/serve/page), built into vkcad so that the window needs nothing
// beside the program and fetches nothing at run time.
#include <string>

namespace vkcad::serve {
const std::string& PageAsset(const std::string& name);  // empty for a name the page has not
}
