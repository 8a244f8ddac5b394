#pragma once
// Writing a file whole or not at all, over whatever regular file is there: the new content
// goes to a temporary file beside the target and is renamed into place once complete. A
// target that is something else (a folder, a named pipe, a device) is refused before anything
// is written, so a pipe is never replaced by a file and a writer never blocks on one.
#include <string>

namespace vkwin {

// Why nothing may be written at hostPath ("it is a named pipe, not a regular file"; a
// symbolic link is followed); empty when nothing is there or a regular file is.
std::string WhyNotAFileTarget(const std::string& hostPath);

class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();  // removes the temporary file unless committed

    // Checks the target and makes the temporary file. False with why ("cannot write PATH: ...").
    bool open(const std::string& hostPath, std::string& why);
    // The temporary file, empty until opened, for writers that take a file name.
    const std::string& tempPath() const { return m_temp; }
    // Gives the temporary file the target's permissions (a new file: the default ones) and
    // renames it into place; a symbolic link keeps pointing at the new file.
    bool commit(std::string& why);

private:
    std::string m_target, m_temp, m_shown;
};

}  // namespace vkwin
