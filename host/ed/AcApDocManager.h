#pragma once
// Documents: open drawings, one of them current.
//
// A document opened from a file reads its database with _SH_DENYNO and then holds the file
// open for writing, denying other writers but not readers (SharedFile kWrite, _SH_DENYWR), for
// as long as it is open. Readers (a report, a scan of a floor, another vkcad's dump) open it
// for reading without denying writers (_SH_DENYNO) and get the drawing as last saved; whoever
// asks to write it, or to read it while keeping writers out (_SH_DENYWR, as a command that
// goes on to change the file does), gets eFileSharingViolation: that is how "the drawing is
// open elsewhere" is seen. When the hold cannot be taken (someone else holds the file), the
// document opens read-only and a note goes to the transcript. A path that does not exist opens
// a new, empty drawing with that name; it holds its file from its first save on.
// A drawing is one document however its path is spelled (vkwin::IsSameFile).
// The working database follows the current document.
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/ed/ResourceHandle.h"

namespace AcAp {
enum DocLockMode { kNone = 0x00, kAutoWrite = 0x01, kNotLocked = 0x02, kWrite = 0x04,
                   kProtectedAutoWrite = 0x14, kRead = 0x20, kXWrite = 0x40 };
}

struct AcApDocumentImpl;

class AcApDocument {
public:
    const char16_t* fileName() const;           // the Windows path given when opened
    AcDbDatabase* database() const;
    const char16_t* docTitle() const;           // the file name without folder
    bool isReadOnly() const;                    // opened without the hold on its file
    AcAp::DocLockMode lockMode() const;
    bool isQuiescent() const;                   // no command running

    AcApDocumentImpl* impl() const { return m_impl; }
    explicit AcApDocument(AcApDocumentImpl* impl) : m_impl(impl) {}

private:
    AcApDocumentImpl* m_impl;
};

class AcApDocManagerReactor {
public:
    virtual ~AcApDocManagerReactor() = default;
    virtual void documentCreated(AcApDocument* doc) {}
    virtual void documentToBeDestroyed(AcApDocument* doc) {}
    virtual void documentBecameCurrent(AcApDocument* doc) {}
    virtual void documentActivated(AcApDocument* doc) {}
    virtual void documentLockModeChanged(AcApDocument* doc, AcAp::DocLockMode myPrevious,
                                         AcAp::DocLockMode myCurrent, AcAp::DocLockMode current,
                                         const char16_t* globalCmdName) {}
};

class AcApDocumentIterator {
public:
    bool done() const { return m_pos >= m_docs.size(); }
    void step() { ++m_pos; }
    AcApDocument* document() const { return done() ? nullptr : m_docs[m_pos]; }
    explicit AcApDocumentIterator(std::vector<AcApDocument*> docs) : m_docs(std::move(docs)) {}

private:
    std::vector<AcApDocument*> m_docs;
    size_t m_pos = 0;
};

class AcApDocManager {
public:
    AcApDocument* curDocument() const;
    AcApDocument* mdiActiveDocument() const;
    AcApDocument* document(const AcDbDatabase* db) const;
    int documentCount() const;
    AcApDocumentIterator* newAcApDocumentIterator() const;  // caller deletes

    // Opens a drawing (or finds it already open, by file identity) and makes it the
    // current and active document; usable in the middle of a command. A read error other
    // than a missing file answers that status and opens nothing.
    Acad::ErrorStatus appContextOpenDocument(const char16_t* fileName);
    Acad::ErrorStatus openDocument(const char16_t* fileName, bool activate = true,
                                   AcApDocument** docOut = nullptr);
    Acad::ErrorStatus appContextNewDocument(const char16_t* templateName = nullptr);  // "Drawing1.dwg"...
    Acad::ErrorStatus setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode = AcAp::kNone,
                                     bool activate = false);
    Acad::ErrorStatus activateDocument(AcApDocument* doc, bool bPassScript = false);
    // Tells reactors (documentToBeDestroyed), deletes the database and lets go of the file.
    // The current document passes to the most recently opened one left (or none).
    Acad::ErrorStatus closeDocument(AcApDocument* doc);
    void closeAll();

    Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode = AcAp::kWrite,
                                   const char16_t* globalCmdName = nullptr,
                                   const char16_t* localCmdName = nullptr, bool prompt = true);
    Acad::ErrorStatus unlockDocument(AcApDocument* doc);

    void addReactor(AcApDocManagerReactor* r);
    void removeReactor(AcApDocManagerReactor* r);

    // The resource handle in force (AfxGetResourceHandle) is pushed and replaced; pop
    // restores the previous one. Unbalanced pops are ignored.
    void pushResourceHandle(HINSTANCE h);
    void popResourceHandle();
};

AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()

namespace vked {
// The open document of the drawing the path names, by file identity; null when none is.
AcApDocument* FindDocument(const CString& path);
// QSAVE (empty path: the document's own name) and SAVEAS: lets go of the file hold, saves
// through the database (back-up-and-rename, 2013 format), takes the hold again on the
// (new) file; the document's name follows a SAVEAS. A read-only document cannot save over
// its own file (eFileSharingViolation).
Acad::ErrorStatus SaveDocument(AcApDocument* doc, const CString& path = CString());
// Saves each document under its own name as SaveDocument does, several at once (one drawing's
// writing overlaps another's flush to disk); the statuses in the order of the documents.
std::vector<Acad::ErrorStatus> SaveDocuments(const std::vector<AcApDocument*>& docs);
// OPEN: makes the drawing current, opening it when it is not open yet. Unlike
// appContextOpenDocument, a name that is neither open nor a file is refused (eFileNotFound).
Acad::ErrorStatus OpenExistingDocument(const CString& path);
// NEW: a new drawing of that name becomes current; nothing is written until it is saved.
// eDuplicateKey when a drawing of that name is open or its file exists, eFileNotFound when
// its folder does not exist.
Acad::ErrorStatus NewDocument(const CString& path);
}  // namespace vked
