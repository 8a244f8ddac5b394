#pragma once
// Reading the library drawing once for many insertions. Placing copy after copy, or
// rebuilding every copy of a project, inserts from the same library drawing again and again;
// reading the whole drawing for each copy makes placing slower the larger the library grows.
//
// While a LibraryReadSession lives (sessions nest; the outermost one owns the read),
// InsertRoom keeps the library drawing it read and inserts from it again as long as the file
// is the same version: same file, size and write time. Each insertion still holds the
// file's read lock (_SH_DENYWR) while it copies, exactly as a fresh read would, so a library
// that another process is writing is not read, and the kept read holds no lock in between:
// the dialogs and other processes may rewrite the library meanwhile, and the next insertion
// then reads the new version. Without a session every insertion reads the file afresh.
#include <memory>

#include "host/db/AcDbDatabase.h"
#include "host/win/CString.h"
#include "host/win/Windows.h"

namespace vkroom {

class LibraryReadSession {
public:
    LibraryReadSession();
    ~LibraryReadSession();  // the outermost session drops the kept read
    LibraryReadSession(const LibraryReadSession&) = delete;
    LibraryReadSession& operator=(const LibraryReadSession&) = delete;
    static bool Active();
};

// The library drawing for one insertion, read-locked for the object's lifetime: the
// session's kept read when the file is unchanged, else a fresh read (kept when a session is
// active). Database() is null when the file cannot be read (missing, held by a writer,
// damaged); the file is never created.
class LibraryRead {
public:
    explicit LibraryRead(const CString& path);
    ~LibraryRead();
    LibraryRead(const LibraryRead&) = delete;
    LibraryRead& operator=(const LibraryRead&) = delete;
    AcDbDatabase* Database() const { return m_db; }
    // True when the database is the session's kept read: what the insertion adds to it
    // must be taken out again before the next one.
    bool IsKept() const { return m_kept; }

private:
    std::unique_ptr<AcDbDatabase> m_fresh;
    SharedFile m_lock;
    AcDbDatabase* m_db = nullptr;
    bool m_kept = false;
};

}  // namespace vkroom
