#include "apps/vkcad/HostCommands.h"

#include <vector>

#include "host/db/AcDb.h"
#include "host/db/DatabaseState.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEdCommandStack.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/AcEdSelection.h"
#include "host/ed/InputQueue.h"
#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/DrawingReach.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/ui/WinUser.h"

namespace vkcad {

namespace {

constexpr const char16_t* kGroup = u"VKCAD";
bool g_quit = false;
bool g_askBeforeQuit = false;
bool g_discardConfirmed = false;

int g_failures = 0;

void Say(const CString& text) { vked::transcript().writeLine(text); }
// A command that could not do what it was asked: the transcript says why, and a script run
// ends with a failing exit code.
void Fail(const CString& text)
{
    ++g_failures;
    Say(text);
}

// A status with its meaning: "eFileSystemErr (the file system failed while writing ...)".
CString StatusText(Acad::ErrorStatus es) { return acadErrorStatusDescription(es); }

// A file name or other text from the command line; false on Esc or an empty answer.
bool AskText(const char16_t* prompt, CString& name)
{
    char16_t buf[1024] = {};
    if (acedGetString(1, prompt, buf, 1024) != RTNORM) return false;
    name = buf;
    name.Trim();
    return !name.IsEmpty();
}

// True when the entity's layer is locked: commands that change entities leave it alone.
bool OnLockedLayer(const AcDbObjectId& id)
{
    AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
    return ent && acdbIsOnLockedLayer(ent.object());
}

// "1 was on a locked layer." / "N were on a locked layer."
void SayLocked(int count)
{
    if (count == 0) return;
    CString msg;
    msg.Format(count == 1 ? u"%d was on a locked layer." : u"%d were on a locked layer.", count);
    Say(msg);
}

// The entities the user selects; empty when nothing was selected or the selection was cancelled.
std::vector<AcDbObjectId> AskSelection()
{
    std::vector<AcDbObjectId> ids;
    const char16_t* prompts[2] = {u"Select objects: ", u"Remove objects: "};
    ads_name ss;
    if (acedSSGet(u":$", prompts, nullptr, nullptr, ss) != RTNORM) return ids;
    Adesk::Int32 n = 0;
    acedSSLength(ss, &n);
    for (Adesk::Int32 i = 0; i < n; ++i) {
        ads_name e;
        AcDbObjectId id;
        if (acedSSName(ss, i, e) == RTNORM && acdbGetObjectId(id, e) == Acad::eOk) ids.push_back(id);
    }
    acedSSFree(ss);
    return ids;
}

// The selection of a command that changes entities: those on locked layers are dropped, and
// said so, as soon as the selection ends.
std::vector<AcDbObjectId> AskSelectionToChange()
{
    std::vector<AcDbObjectId> ids = AskSelection();
    const auto locked = std::erase_if(ids, OnLockedLayer);
    SayLocked(static_cast<int>(locked));
    return ids;
}

// The selection and the move from a base point to a second point; false when any is missing.
bool AskSelectionAndMove(std::vector<AcDbObjectId>& ids, AcGeMatrix3d& xform, bool toChange)
{
    ids = toChange ? AskSelectionToChange() : AskSelection();
    if (ids.empty()) return false;
    ads_point base, second;
    if (acedGetPoint(nullptr, u"Specify base point: ", base) != RTNORM) return false;
    if (acedGetPoint(base, u"Specify second point: ", second) != RTNORM) return false;
    const AcGePoint3d from(base[0], base[1], base[2]), to(second[0], second[1], second[2]);
    if (!vkge::DrawingCanHold(from) || !vkge::DrawingCanHold(to)) {
        Fail(u"A point is beyond what a drawing can hold; nothing was changed.");
        return false;
    }
    xform = AcGeMatrix3d::translation(to - from);
    return true;
}

CString StatusWords(Acad::ErrorStatus es)
{
    return StatusText(es) + u" (" + CString::FromUtf8(acadErrorStatusMeaning(es)) + u")";
}

// An open drawing, or one whose file exists; a name that is neither is refused, not made.
void CmdOpen()
{
    CString name;
    if (!AskText(u"Enter name of drawing to open: ", name)) return;
    const Acad::ErrorStatus es = vked::OpenExistingDocument(name);
    if (es == Acad::eFileNotFound)
        Fail(CString(u"Cannot open ") + name + u": no such drawing (NEW makes a new one)");
    else if (es != Acad::eOk)
        Fail(CString(u"Cannot open ") + name + u": " + StatusWords(es));
}

// A new drawing under a name no drawing has; it is written on its first save.
void CmdNew()
{
    CString name;
    if (!AskText(u"Enter name of new drawing: ", name)) return;
    const Acad::ErrorStatus es = vked::NewDocument(name);
    if (es == Acad::eDuplicateKey)
        Fail(CString(u"Cannot create ") + name + u": a drawing of that name exists (OPEN opens it)");
    else if (es == Acad::eFileNotFound)
        Fail(CString(u"Cannot create ") + name + u": its folder does not exist");
    else if (es != Acad::eOk)
        Fail(CString(u"Cannot create ") + name + u": " + StatusWords(es));
}

bool Save(AcApDocument* doc, const CString& path)
{
    Acad::ErrorStatus es = vked::SaveDocument(doc, path);
    if (es != Acad::eOk) {
        Fail(CString(u"Cannot save ") + (path.IsEmpty() ? CString(doc->fileName()) : path) + u": " +
            StatusText(es));
        return false;
    }
    return true;
}

void CmdQSave()
{
    if (AcApDocument* doc = acDocManager->curDocument()) Save(doc, CString());
}

void CmdSaveAs()
{
    AcApDocument* doc = acDocManager->curDocument();
    CString name;
    if (!doc || !AskText(u"Enter file name: ", name)) return;
    Save(doc, name);
}

void CmdSaveAll()
{
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) Save(it->document(), CString());
    delete it;
}

// The question put before changes no file holds would go: Yes saves them (true when every
// save succeeded), No lets them go, Cancel keeps them. `answered` tells whether anyone
// answered (a script may not have): the default is Cancel.
int AskSaveChanges(const std::vector<AcApDocument*>& docs, bool* answered = nullptr)
{
    const CString text = CString(u"Save changes to ") + DocumentTitles(docs) + u"?";
    return vkui::MessageBoxAnswered(text.GetString(), u"vkcad", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3,
                                    answered);
}

bool SaveAll(const std::vector<AcApDocument*>& docs)
{
    bool saved = true;
    for (AcApDocument* doc : docs) saved = Save(doc, CString()) && saved;
    return saved;
}

// Closing a drawing with changes no file holds asks first, at the console and in a script
// alike; a script that gives no answer keeps the drawing open and fails.
void CmdClose()
{
    AcApDocument* doc = acDocManager->curDocument();
    if (!doc) return;
    if (vkdb::IsModifiedSinceSave(doc->database())) {
        bool answered = false;
        switch (AskSaveChanges({doc}, &answered)) {
        case IDYES:
            if (!SaveAll({doc})) return;  // the failed save was said; the drawing stays
            break;
        case IDNO: break;
        default:
            if (!answered)
                Fail(CString(doc->docTitle()) + u" stays open: its changes are not saved and no answer was given"
                                                u" (!answer yes saves them, !answer no drops them)");
            return;
        }
    }
    const Acad::ErrorStatus es = acDocManager->closeDocument(doc);
    if (es != Acad::eOk) Fail(CString(u"Cannot close: ") + StatusText(es));
}

void CmdErase()
{
    int count = 0;
    for (const AcDbObjectId& id : AskSelectionToChange()) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        if (ent->erase() == Acad::eOk) ++count;
        ent->close();
    }
    CString msg;
    msg.Format(u"%d erased", count);
    if (count) Say(msg);
}

void CmdMove()
{
    std::vector<AcDbObjectId> ids;
    AcGeMatrix3d xform;
    if (!AskSelectionAndMove(ids, xform, true)) return;
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        Acad::ErrorStatus es = ent->transformBy(xform);
        if (es != Acad::eOk) Fail(CString(u"Cannot move #") + ent->handle().text() + u": " + StatusText(es));
        ent->close();
    }
}

void CmdCopy()
{
    std::vector<AcDbObjectId> ids;
    AcGeMatrix3d xform;
    if (!AskSelectionAndMove(ids, xform, false)) return;
    // Each copy takes a handle; a drawing that has too few left gets none of them.
    const Adesk::UInt64 handlesLeft = ~Adesk::UInt64{0} - acdbCurDwg()->handseed().value();
    if (ids.size() > handlesLeft) {
        CString msg;
        msg.Format(u"Cannot copy: %d copies need as many handles and the drawing has %llu left; nothing was copied.",
                   static_cast<int>(ids.size()), static_cast<unsigned long long>(handlesLeft));
        Fail(msg);
        return;
    }
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        AcDbEntity* copy = AcDbEntity::cast(ent->clone());
        AcDbObjectId owner = ent->ownerId();
        ent->close();
        if (!copy) continue;
        AcDbBlockTableRecord* space = nullptr;
        Acad::ErrorStatus es = copy->transformBy(xform);
        if (es == Acad::eOk) es = acdbOpenObject(space, owner, AcDb::kForWrite);
        if (es == Acad::eOk) {
            es = space->appendAcDbEntity(copy);
            space->close();
        }
        if (es == Acad::eOk) {
            copy->close();
        } else {
            delete copy;
            Fail(CString(u"Cannot copy: ") + StatusText(es));
        }
    }
}

void CmdList()
{
    for (const AcDbObjectId& id : AskSelection()) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        CString text;
        ent->list(text);
        ent->close();
        vked::transcript().endLine();
        vked::transcript().write(text);
        vked::transcript().endLine();
    }
}

void CmdAppLoad()
{
    CString name;
    if (!AskText(u"Enter plug-in file name: ", name)) return;
    AcRxDynamicLinker* linker = acrxDynamicLinker();
    if (linker->loadModule(name.ToUtf8()))
        Say(name + u" loaded.");
    else
        Fail(CString(u"Cannot load ") + name + u": " + CString::FromUtf8(linker->lastError()));
}

// At the console, leaving with unsaved drawings asks first: Yes saves them (a failed save
// keeps the session), No leaves them, Cancel stays.
bool ConfirmQuit()
{
    const std::vector<AcApDocument*> docs = ModifiedDocuments();
    if (!g_askBeforeQuit || docs.empty()) return true;
    switch (AskSaveChanges(docs)) {
    case IDYES: return SaveAll(docs);
    case IDNO: g_discardConfirmed = true; return true;
    default: return false;
    }
}

// Shows a system variable and, unless Enter keeps it, sets it: a whole number for short
// variables, a number for reals, text for strings ("." for empty text). A value the variable
// cannot take is refused with the reason and changes nothing.
void CmdSetVar()
{
    CString name;
    if (!AskText(u"Enter variable name: ", name)) return;
    name.MakeUpper();
    if (vked::IsReadOnlyVar(name.GetString())) {
        Fail(name + u" is read-only.");
        return;
    }
    resbuf current;
    if (acedGetVar(name.GetString(), &current) != RTNORM) {
        Fail(CString(u"Unknown variable name: ") + name);
        return;
    }
    resbuf value;
    value.restype = current.restype;
    CString prompt;
    int rc = RTERROR;
    char16_t buf[1024] = {};
    switch (current.restype) {
    case RTSHORT: {
        int v = current.resval.rint;
        prompt.Format(u"Enter new value for %s <%d>: ", name.GetString(), v);
        rc = acedGetInt(prompt.GetString(), &v);
        value.resval.rint = static_cast<short>(v);
        break;
    }
    case RTREAL: {
        double v = current.resval.rreal;
        prompt.Format(u"Enter new value for %s <%g>: ", name.GetString(), v);
        rc = acedGetReal(prompt.GetString(), &v);
        value.resval.rreal = v;
        break;
    }
    case RTSTR: {
        prompt.Format(u"Enter new value for %s <\"%s\">: ", name.GetString(), current.resval.rstring);
        acutDelString(current.resval.rstring);
        rc = acedGetString(1, prompt.GetString(), buf, 1024);
        CString text = buf;
        text.Trim();
        if (rc == RTNORM && text.IsEmpty()) rc = RTNONE;  // Enter keeps the value
        if (text == u".") buf[0] = 0;                     // "." stands for empty text
        value.resval.rstring = buf;
        break;
    }
    default:
        Say(name + u" cannot be set here.");
        return;
    }
    if (rc != RTNORM) return;
    const CString why = vked::SetVarRefusal(name.GetString(), value);
    if (!why.IsEmpty()) Fail(CString(u"Cannot set ") + name + u": " + why + u".");
}

void CmdQuit()
{
    if (!ConfirmQuit()) return;
    g_quit = true;
    vked::inputQueue().clear();
}

struct HostCommand {
    const char16_t* name;
    AcRxFunctionPtr fn;
    Adesk::Int32 flags;
};
// Session commands run with no drawing open too; the others work on the current drawing.
const HostCommand kCommands[] = {
    {u"OPEN", CmdOpen, ACRX_CMD_SESSION},       {u"NEW", CmdNew, ACRX_CMD_SESSION},
    {u"QSAVE", CmdQSave, ACRX_CMD_MODAL},
    {u"SAVEAS", CmdSaveAs, ACRX_CMD_MODAL},     {u"SAVEALL", CmdSaveAll, ACRX_CMD_SESSION},
    {u"CLOSE", CmdClose, ACRX_CMD_MODAL},       {u"ERASE", CmdErase, ACRX_CMD_MODAL},
    {u"MOVE", CmdMove, ACRX_CMD_MODAL},         {u"COPY", CmdCopy, ACRX_CMD_MODAL},
    {u"LIST", CmdList, ACRX_CMD_MODAL},         {u"APPLOAD", CmdAppLoad, ACRX_CMD_SESSION},
    {u"SETVAR", CmdSetVar, ACRX_CMD_SESSION},
    {u"QUIT", CmdQuit, ACRX_CMD_SESSION},       {u"EXIT", CmdQuit, ACRX_CMD_SESSION},
};

}  // namespace

void RegisterHostCommands()
{
    if (acedRegCmds()->hasGroup(kGroup)) return;
    for (const HostCommand& c : kCommands)
        acedRegCmds()->addCommand(kGroup, c.name, c.name, c.flags, c.fn);
}

void RemoveHostCommands() { acedRegCmds()->removeGroup(kGroup); }

std::vector<AcApDocument*> ModifiedDocuments()
{
    std::vector<AcApDocument*> docs;
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step())
        if (vkdb::IsModifiedSinceSave(it->document()->database())) docs.push_back(it->document());
    delete it;
    return docs;
}

CString DocumentTitles(const std::vector<AcApDocument*>& docs)
{
    CString titles;
    for (AcApDocument* doc : docs) {
        if (!titles.IsEmpty()) titles += u", ";
        titles += doc->docTitle();
    }
    return titles;
}

void SetAskBeforeQuit(bool ask) { g_askBeforeQuit = ask; }
bool DiscardConfirmed() { return g_discardConfirmed; }
bool QuitRequested() { return g_quit; }
int CommandFailures() { return g_failures; }
void ClearCommandFailures() { g_failures = 0; }
void ClearQuitRequest() { g_quit = false; }

}  // namespace vkcad
