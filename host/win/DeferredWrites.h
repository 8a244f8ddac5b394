#pragma once
// Deferred file writes: a change that rewrites several files (a room stored into the library
// drawing and the room list) opens a DeferredWrites scope naming them. Inside the scope,
// saving a drawing to one of those files (AcDbDatabase::saveAs) or replacing its contents
// (ReplaceWholeFile) stages the bytes in memory, and reads of the file (readDwgFile,
// ReadWholeFile) see the staged bytes. Commit() then replaces each changed file once, in the
// order the scope named them: temporary file, flush, rename (FileReplace.h), with the file as
// it was before the scope as its back-up where a save asked for one.
//
// A commit is refused, and writes nothing, when a file is held by another program for writing
// or denying writers, or was changed by someone else since the scope opened (two sessions
// storing at once). A commit that fails halfway puts back the files it had already replaced.
// Bytes equal to the file's are not written. A scope left without Commit() drops what it
// staged. Scopes nest: an inner scope joins the outermost one, whose Commit() is the one that
// writes (an inner Commit() only says true).
//
// What a kill between two renames leaves is the order's business: name first the file whose
// early replacement is harmless on its own.
#include <initializer_list>
#include <string>
#include <string_view>

#include "host/win/Windows.h"

namespace vkwin {

class DeferredWrites {
public:
    explicit DeferredWrites(std::initializer_list<CString> winPaths);
    ~DeferredWrites();
    DeferredWrites(const DeferredWrites&) = delete;
    DeferredWrites& operator=(const DeferredWrites&) = delete;

    bool Commit();
    DWORD Error() const { return m_error; }          // why Commit() failed
    const CString& FailedPath() const { return m_failed; }  // the file it failed on, as named
    static bool Active();

private:
    bool m_outermost = false;
    DWORD m_error = ERROR_SUCCESS;
    CString m_failed;
};

// The whole file, read sharing everything; within a scope, what is staged for it. False with
// the last error set (ERROR_FILE_NOT_FOUND for a missing file).
bool ReadWholeFile(const CString& winPath, std::string& out);
// Replaces the whole file in one step: staged within a scope that names it, else committed at
// once as by a scope of its own. False with the last error set.
bool ReplaceWholeFile(const CString& winPath, std::string_view bytes);

// Told of the files each commit replaced, with what each held before (the undo journal keeps
// it). wantsContents() says whether to read them first; a failed commit tells nothing.
class ReplaceObserver {
public:
    virtual ~ReplaceObserver() = default;
    virtual bool wantsContents() const = 0;
    virtual void replaced(const CString& winPath, bool existed, std::string before) = 0;
};
void SetReplaceObserver(ReplaceObserver* observer);  // null: none

namespace deferred {
// For the file layer; host paths as the file layer makes them (absolute).
bool Defers(const std::string& hostPath);
const std::string* Staged(const std::string& hostPath);  // null when nothing is staged
void Stage(const std::string& hostPath, std::string bytes, const std::string& backupHostPath);
}  // namespace deferred

}  // namespace vkwin
