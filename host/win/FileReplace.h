#pragma once
// Replacing a whole file in one step, as every save of the host does: the new bytes go to a
// temporary file beside the target (NAME.vktmp.PID.N), are flushed, and the temporary file is
// renamed over the target; then the folder is flushed. A crash leaves the old file or the new
// one, never half of one. The previous file can be kept as a back-up (NAME.bak for a
// drawing), which takes that name only once the new file is in place, and it can be put back
// when a later step of the same change fails.
#include <string>
#include <string_view>

#include "host/win/Windows.h"

namespace vkwin {

class FileReplacement {
public:
    // Host paths. backup empty: no back-up is kept. undoable: Undo() can put the previous
    // file back until Finish().
    FileReplacement(std::string target, std::string backup, bool undoable = false);
    ~FileReplacement();  // removes what was not used: the temporary file, the kept previous file
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Writes and flushes the temporary file. ERROR_DISK_FULL or ERROR_WRITE_FAULT when the
    // file system fails; the error of the open otherwise.
    DWORD Write(std::string_view bytes);
    // Renames the temporary file over the target: through holder, which goes on holding the
    // new file, when given; else directly. A target that did not exist is not replaced when
    // someone made it meanwhile (ERROR_FILE_EXISTS).
    DWORD Replace(SharedFile* holder);
    // Puts the previous file back (or removes the new one where there was none).
    bool Undo();
    // Done: the previous file becomes the back-up when one is wanted.
    void Finish();

private:
    std::string m_target, m_backup, m_temp, m_pending;
    bool m_undoable = false, m_existed = false, m_replaced = false;
};

// What replacements of target killed on the way left behind, for processes that are gone:
// temporary files are removed; a previous file waiting to become the back-up takes that name
// when the new file had already taken its place, else it is removed. Leftovers of processes
// that still run are left alone.
void CleanLeftoversOf(const std::string& target, const std::string& backup);

}  // namespace vkwin
