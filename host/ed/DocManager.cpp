// Documents: open drawings holding their files, the current one, the reactors.
#include <algorithm>
#include <memory>

#include "host/db/AcDbUndo.h"
#include "host/db/DatabaseState.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/Transcript.h"
#include "host/win/WinPath.h"
#include "host/win/Windows.h"

struct AcApDocumentImpl {
    CString fileName;
    CString title;
    std::unique_ptr<AcDbDatabase> db;
    bool readOnly = false;
    Acad::ErrorStatus whyReadOnly = Acad::eOk;  // what a save of its own file meets
    AcAp::DocLockMode lockMode = AcAp::kNotLocked;
    int lockCount = 0;
    std::unique_ptr<AcApDocument> doc;
};

namespace {

std::vector<std::unique_ptr<AcApDocumentImpl>> g_docs;  // in order of opening
AcApDocument* g_current = nullptr;
std::vector<AcApDocManagerReactor*> g_reactors;
std::vector<HINSTANCE> g_resourceStack;
int g_untitled = 0;

CString TitleOf(const CString& path)
{
    int slash = std::max(path.ReverseFind(u'\\'), path.ReverseFind(u'/'));
    return path.Mid(slash + 1);
}

template <class F>
void Tell(F f)
{
    std::vector<AcApDocManagerReactor*> copy = g_reactors;  // reactors may remove themselves
    for (AcApDocManagerReactor* r : copy)
        if (std::find(g_reactors.begin(), g_reactors.end(), r) != g_reactors.end()) f(r);
}

// Holds the drawing file for writing, denying other writers. The database keeps the hold, so
// that a save of the database itself (not only through the document) moves it to the new file.
bool TakeHold(AcApDocumentImpl& d)
{
    vkdb::HoldFile(d.db.get(), nullptr);
    if (!PathFileExistsW(d.fileName.GetString())) return false;
    auto hold = std::make_unique<SharedFile>();
    if (!hold->Open(d.fileName, SharedFile::kWrite, _SH_DENYWR, false)) return false;
    vkdb::HoldFile(d.db.get(), std::move(hold));
    return true;
}

// The open document holding that drawing, if any.
AcApDocument* AddDocument(std::unique_ptr<AcApDocumentImpl> impl)
{
    impl->doc = std::make_unique<AcApDocument>(impl.get());
    AcApDocument* doc = impl->doc.get();
    vkundo::setTracked(impl->db.get(), true);  // what commands change in it can be taken back
    g_docs.push_back(std::move(impl));
    Tell([&](AcApDocManagerReactor* r) { r->documentCreated(doc); });
    return doc;
}

}  // namespace

const char16_t* AcApDocument::fileName() const { return m_impl->fileName.GetString(); }
AcDbDatabase* AcApDocument::database() const { return m_impl->db.get(); }
const char16_t* AcApDocument::docTitle() const { return m_impl->title.GetString(); }
bool AcApDocument::isReadOnly() const { return m_impl->readOnly; }
AcAp::DocLockMode AcApDocument::lockMode() const { return m_impl->lockMode; }
bool AcApDocument::isQuiescent() const { return m_impl->lockCount == 0; }

AcApDocument* AcApDocManager::curDocument() const { return g_current; }
AcApDocument* AcApDocManager::mdiActiveDocument() const { return g_current; }

AcApDocument* AcApDocManager::document(const AcDbDatabase* db) const
{
    for (auto& d : g_docs)
        if (d->db.get() == db) return d->doc.get();
    return nullptr;
}

int AcApDocManager::documentCount() const { return static_cast<int>(g_docs.size()); }

AcApDocumentIterator* AcApDocManager::newAcApDocumentIterator() const
{
    std::vector<AcApDocument*> docs;
    for (auto& d : g_docs) docs.push_back(d->doc.get());
    return new AcApDocumentIterator(std::move(docs));
}

Acad::ErrorStatus AcApDocManager::appContextOpenDocument(const char16_t* fileName)
{
    return openDocument(fileName, true);
}

Acad::ErrorStatus AcApDocManager::openDocument(const char16_t* fileName, bool activate, AcApDocument** docOut)
{
    if (!fileName || !*fileName) return Acad::eInvalidInput;
    CString path = fileName;
    if (AcApDocument* open = vked::FindDocument(path)) {
        if (activate) setCurDocument(open, AcAp::kNone, true);
        if (docOut) *docOut = open;
        return Acad::eOk;
    }
    auto impl = std::make_unique<AcApDocumentImpl>();
    impl->fileName = path;
    impl->title = TitleOf(path);
    impl->db = std::make_unique<AcDbDatabase>(false, false);
    Acad::ErrorStatus es = impl->db->readDwgFile(path.GetString(), _SH_DENYNO);
    if (es == Acad::eFileNotFound) {
        impl->db = std::make_unique<AcDbDatabase>(true, false);
    } else if (es != Acad::eOk) {
        return es;
    } else if (!TakeHold(*impl)) {
        impl->readOnly = true;
        impl->whyReadOnly = acdbFileErrorStatus(GetLastError());
        // Held by another program, or simply not writable here: say which.
        if (impl->whyReadOnly == Acad::eFileSharingViolation) {
            vked::transcript().writeLine(CString(u"** ") + path + u" is open for writing elsewhere: opened read-only **");
        } else {
            vked::transcript().writeLine(CString(u"** ") + path + u" cannot be written: " +
                                         acadErrorStatusDescription(impl->whyReadOnly) + u": opened read-only **");
        }
    }
    AcApDocument* doc = AddDocument(std::move(impl));
    if (activate || !g_current) setCurDocument(doc, AcAp::kNone, true);
    if (docOut) *docOut = doc;
    return Acad::eOk;
}

namespace {
// A new drawing under that name, made current; nothing is written until it is saved.
void AddNewDocument(const CString& path)
{
    auto impl = std::make_unique<AcApDocumentImpl>();
    impl->fileName = path;
    impl->title = TitleOf(path);
    impl->db = std::make_unique<AcDbDatabase>(true, false);
    acDocManager->setCurDocument(AddDocument(std::move(impl)), AcAp::kNone, true);
}
}  // namespace

Acad::ErrorStatus AcApDocManager::appContextNewDocument(const char16_t*)
{
    CString name;
    name.Format(u"Drawing%d.dwg", ++g_untitled);
    AddNewDocument(name);
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::setCurDocument(AcApDocument* doc, AcAp::DocLockMode mode, bool activate)
{
    if (doc && !document(doc->database())) return Acad::eInvalidInput;
    g_current = doc;
    acdbHostApplicationServices()->setWorkingDatabase(doc ? doc->database() : nullptr);
    if (!doc) return Acad::eOk;
    if (mode != AcAp::kNone) lockDocument(doc, mode);
    Tell([&](AcApDocManagerReactor* r) { r->documentBecameCurrent(doc); });
    if (activate) Tell([&](AcApDocManagerReactor* r) { r->documentActivated(doc); });
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::activateDocument(AcApDocument* doc, bool)
{
    return setCurDocument(doc, AcAp::kNone, true);
}

Acad::ErrorStatus AcApDocManager::closeDocument(AcApDocument* doc)
{
    auto it = std::find_if(g_docs.begin(), g_docs.end(), [&](auto& d) { return d->doc.get() == doc; });
    if (it == g_docs.end()) return Acad::eInvalidInput;
    Tell([&](AcApDocManagerReactor* r) { r->documentToBeDestroyed(doc); });
    std::unique_ptr<AcApDocumentImpl> impl = std::move(*it);
    g_docs.erase(it);
    if (acdbHostApplicationServices()->workingDatabase() == impl->db.get())
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    if (g_current == doc) {
        g_current = nullptr;
        if (!g_docs.empty()) setCurDocument(g_docs.back()->doc.get(), AcAp::kNone, true);
    }
    impl->db.reset();  // lets go of the file
    return Acad::eOk;
}

void AcApDocManager::closeAll()
{
    while (!g_docs.empty()) closeDocument(g_docs.back()->doc.get());
}

Acad::ErrorStatus AcApDocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode, const char16_t* globalCmdName,
                                               const char16_t*, bool)
{
    if (!doc) return Acad::eInvalidInput;
    AcApDocumentImpl* d = doc->impl();
    AcAp::DocLockMode prev = d->lockMode;
    ++d->lockCount;
    d->lockMode = mode;
    Tell([&](AcApDocManagerReactor* r) { r->documentLockModeChanged(doc, prev, mode, mode, globalCmdName ? globalCmdName : u""); });
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::unlockDocument(AcApDocument* doc)
{
    if (!doc || doc->impl()->lockCount == 0) return Acad::eNotApplicable;
    AcApDocumentImpl* d = doc->impl();
    if (--d->lockCount == 0) d->lockMode = AcAp::kNotLocked;
    return Acad::eOk;
}

void AcApDocManager::addReactor(AcApDocManagerReactor* r)
{
    if (r && std::find(g_reactors.begin(), g_reactors.end(), r) == g_reactors.end()) g_reactors.push_back(r);
}

void AcApDocManager::removeReactor(AcApDocManagerReactor* r)
{
    g_reactors.erase(std::remove(g_reactors.begin(), g_reactors.end(), r), g_reactors.end());
}

void AcApDocManager::pushResourceHandle(HINSTANCE h)
{
    g_resourceStack.push_back(AfxGetResourceHandle());
    AfxSetResourceHandle(h);
}

void AcApDocManager::popResourceHandle()
{
    if (g_resourceStack.empty()) return;
    AfxSetResourceHandle(g_resourceStack.back());
    g_resourceStack.pop_back();
}

AcApDocManager* acDocManagerPtr()
{
    static AcApDocManager m;
    return &m;
}

namespace vked {

AcApDocument* FindDocument(const CString& path)
{
    if (path.IsEmpty()) return nullptr;
    const vkwin::FileIdentity wanted = vkwin::IdentityOf(path);
    for (auto& d : g_docs)
        if (!d->fileName.IsEmpty() && vkwin::IdentityOf(d->fileName) == wanted) return d->doc.get();
    return nullptr;
}

Acad::ErrorStatus OpenExistingDocument(const CString& path)
{
    if (path.IsEmpty()) return Acad::eInvalidInput;
    if (!FindDocument(path) && !PathFileExistsW(path.GetString())) return Acad::eFileNotFound;
    return acDocManager->appContextOpenDocument(path.GetString());
}

Acad::ErrorStatus NewDocument(const CString& path)
{
    if (path.IsEmpty()) return Acad::eInvalidInput;
    if (FindDocument(path) || PathFileExistsW(path.GetString())) return Acad::eDuplicateKey;
    std::string host = vkwin::ToHostPath(path);
    const size_t slash = host.rfind('/');
    if (slash != std::string::npos && slash > 0 && !PathFileExistsW(CString::FromUtf8(host.substr(0, slash)).GetString()))
        return Acad::eFileNotFound;
    AddNewDocument(path);
    return Acad::eOk;
}

Acad::ErrorStatus SaveDocument(AcApDocument* doc, const CString& path)
{
    if (!doc || !acDocManager->document(doc->database())) return Acad::eInvalidInput;
    AcApDocumentImpl* d = doc->impl();
    CString target = path.IsEmpty() ? d->fileName : path;
    bool own = vkwin::IsSameFile(target, d->fileName);
    if (own && d->readOnly) return d->whyReadOnly;
    if (!own) vkdb::HoldFile(d->db.get(), nullptr);  // the hold goes with the name
    Acad::ErrorStatus es = d->db->saveAs(target.GetString(), true, AcDb::kDHL_1027);
    if (es == Acad::eOk && !own) {
        d->fileName = target;
        d->title = TitleOf(target);
    }
    d->readOnly = !TakeHold(*d) && PathFileExistsW(d->fileName.GetString());
    if (d->readOnly) d->whyReadOnly = acdbFileErrorStatus(GetLastError());
    return es;
}

}  // namespace vked
