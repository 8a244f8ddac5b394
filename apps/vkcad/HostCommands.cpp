#include "apps/vkcad/HostCommands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/db/AcDb.h"
#include "host/db/AcDbUndo.h"
#include "host/db/DatabaseState.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEdCommandStack.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/AcEdSelection.h"
#include "host/ed/HostTexts.h"
#include "host/ed/InputQueue.h"
#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
#include "host/ge/AcGeMatrix3d.h"
#include "host/ge/DrawingReach.h"
#include "host/rx/AcRxDynamicLinker.h"
#include "host/ui/WinUser.h"
#include "host/win/Windows.h"

namespace vkcad {

namespace {

constexpr const char16_t* kGroup = u"VKCAD";
bool g_quit = false;
bool g_askBeforeQuit = false;
bool g_discardConfirmed = false;

int g_failures = 0;

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

// A drawing's file name from the command line: a name without an extension is a .dwg file.
bool AskDrawingName(const char16_t* prompt, CString& name)
{
    if (!AskText(prompt, name)) return false;
    const int folder = std::max(name.ReverseFind(u'/'), name.ReverseFind(u'\\'));
    if (name.ReverseFind(u'.') <= folder + 1) name += u".dwg";  // ".hidden" has no extension either
    return true;
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
    Say(count == 1 ? CString(vked::Text(vked::txt::kOnLockedLayer1)) : vked::FormatText(vked::txt::kOnLockedLayerN, count));
}

// The entities the user selects; empty when nothing was selected or the selection was cancelled.
std::vector<AcDbObjectId> AskSelection()
{
    std::vector<AcDbObjectId> ids;
    const char16_t* prompts[2] = {vked::Text(vked::txt::kSelectObjects), vked::Text(vked::txt::kRemoveObjects)};
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

}  // namespace

void Say(const CString& text) { vked::transcript().writeLine(text); }
// A command that could not do what it was asked: the transcript says why, and a script run
// ends with a failing exit code.
void Fail(const CString& text)
{
    ++g_failures;
    Say(text);
}

// Those on locked layers are dropped, and said so, as soon as the selection ends.
std::vector<AcDbObjectId> AskSelectionToChange()
{
    std::vector<AcDbObjectId> ids = AskSelection();
    const auto locked = std::erase_if(ids, OnLockedLayer);
    SayLocked(static_cast<int>(locked));
    return ids;
}

namespace {

// The selection and the move from a base point to a second point; false when any is missing.
bool AskSelectionAndMove(std::vector<AcDbObjectId>& ids, AcGeMatrix3d& xform, bool toChange)
{
    ids = toChange ? AskSelectionToChange() : AskSelection();
    if (ids.empty()) return false;
    ads_point base, second;
    if (acedGetPoint(nullptr, vked::Text(vked::txt::kBasePoint), base) != RTNORM) return false;
    if (acedGetPoint(base, vked::Text(vked::txt::kSecondPoint), second) != RTNORM) return false;
    const AcGePoint3d from(base[0], base[1], base[2]), to(second[0], second[1], second[2]);
    if (!vkge::DrawingCanHold(from) || !vkge::DrawingCanHold(to)) {
        Fail(vked::Text(vked::txt::kBeyondReach));
        return false;
    }
    xform = AcGeMatrix3d::translation(to - from);
    return true;
}

// An open drawing, or one whose file exists; a name that is neither is refused, not made.
void CmdOpen()
{
    CString name;
    if (!AskDrawingName(vked::Text(vked::txt::kOpenPrompt), name)) return;
    const Acad::ErrorStatus es = vked::OpenExistingDocument(name);
    if (es == Acad::eFileNotFound)
        Fail(vked::FormatText(vked::txt::kOpenNoSuchDrawing, name.GetString()));
    else if (es != Acad::eOk)
        Fail(vked::FormatText(vked::txt::kCannotOpen, name.GetString(), StatusText(es).GetString()));
}

// A new drawing under a name no drawing has; it is written on its first save.
void CmdNew()
{
    CString name;
    if (!AskDrawingName(vked::Text(vked::txt::kNewPrompt), name)) return;
    const Acad::ErrorStatus es = vked::NewDocument(name);
    if (es == Acad::eDuplicateKey)
        Fail(vked::FormatText(vked::txt::kNewExists, name.GetString()));
    else if (es == Acad::eFileNotFound)
        Fail(vked::FormatText(vked::txt::kNewNoFolder, name.GetString()));
    else if (es != Acad::eOk)
        Fail(vked::FormatText(vked::txt::kCannotCreate, name.GetString(), StatusText(es).GetString()));
}

bool Save(AcApDocument* doc, const CString& path)
{
    Acad::ErrorStatus es = vked::SaveDocument(doc, path);
    if (es != Acad::eOk) {
        const CString name = path.IsEmpty() ? CString(doc->fileName()) : path;
        Fail(vked::FormatText(vked::txt::kCannotSave, name.GetString(), StatusText(es).GetString()));
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
    if (!doc || !AskDrawingName(vked::Text(vked::txt::kSaveAsPrompt), name)) return;
    Save(doc, name);
}

// Writes the drawings whose changes no file holds yet (a new one never saved included), each
// once and several at a time; a drawing already on disk as it is stays untouched.
void CmdSaveAll()
{
    std::vector<AcApDocument*> docs;
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) {
        AcApDocument* doc = it->document();
        if (vkdb::IsModifiedSinceSave(doc->database()) || !PathFileExistsW(doc->fileName())) docs.push_back(doc);
    }
    delete it;
    const std::vector<Acad::ErrorStatus> results = vked::SaveDocuments(docs);
    for (size_t i = 0; i < docs.size(); ++i)
        if (results[i] != Acad::eOk) Fail(CString(u"Cannot save ") + docs[i]->fileName() + u": " + StatusText(results[i]));
}

// The question put before changes no file holds would go: Yes saves them (true when every
// save succeeded), No lets them go, Cancel keeps them. `answered` tells whether anyone
// answered (a script may not have): the default is Cancel.
int AskSaveChanges(const std::vector<AcApDocument*>& docs, bool* answered = nullptr)
{
    const CString text = vked::FormatText(vked::txt::kSaveChanges, DocumentTitles(docs).GetString());
    return vkui::MessageBoxAnswered(text.GetString(), u"vkcad", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3,
                                    answered);
}

bool SaveAll(const std::vector<AcApDocument*>& docs)
{
    bool saved = true;
    for (AcApDocument* doc : docs) saved = Save(doc, CString()) && saved;
    return saved;
}

void CmdClose() { CloseCurrentDrawing(); }

void CmdErase()
{
    int count = 0;
    for (const AcDbObjectId& id : AskSelectionToChange()) {
        AcDbEntity* ent = nullptr;
        if (acdbOpenAcDbEntity(ent, id, AcDb::kForWrite) != Acad::eOk) continue;
        if (ent->erase() == Acad::eOk) ++count;
        ent->close();
    }
    if (count) Say(vked::FormatText(vked::txt::kErased, count));
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
        if (es != Acad::eOk)
            Fail(vked::FormatText(vked::txt::kCannotMove, CString(ent->handle().text()).GetString(), StatusText(es).GetString()));
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
        Fail(vked::FormatText(vked::txt::kCannotCopyHandles, static_cast<int>(ids.size()),
                              CString::FromUtf8(std::to_string(handlesLeft)).GetString()));
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
            Fail(vked::FormatText(vked::txt::kCannotCopy, StatusText(es).GetString()));
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
    if (!AskText(vked::Text(vked::txt::kAppLoadPrompt), name)) return;
    AcRxDynamicLinker* linker = acrxDynamicLinker();
    if (linker->loadModule(name.ToUtf8()))
        Say(vked::FormatText(vked::txt::kLoaded, name.GetString()));
    else
        Fail(vked::FormatText(vked::txt::kCannotLoad, name.GetString(), CString::FromUtf8(linker->lastError()).GetString()));
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
    if (!AskText(vked::Text(vked::txt::kVarNamePrompt), name)) return;
    name.MakeUpper();
    if (vked::IsReadOnlyVar(name.GetString())) {
        Fail(vked::FormatText(vked::txt::kVarReadOnly, name.GetString()));
        return;
    }
    resbuf current;
    if (acedGetVar(name.GetString(), &current) != RTNORM) {
        Fail(vked::FormatText(vked::txt::kVarUnknown, name.GetString()));
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
        prompt = vked::FormatText(vked::txt::kVarNewValueInt, name.GetString(), v);
        rc = acedGetInt(prompt.GetString(), &v);
        value.resval.rint = static_cast<short>(v);
        break;
    }
    case RTREAL: {
        double v = current.resval.rreal;
        CString shown;
        shown.Format(u"%g", v);
        prompt = vked::FormatText(vked::txt::kVarNewValueReal, name.GetString(), shown.GetString());
        rc = acedGetReal(prompt.GetString(), &v);
        value.resval.rreal = v;
        break;
    }
    case RTSTR: {
        prompt = vked::FormatText(vked::txt::kVarNewValueText, name.GetString(), current.resval.rstring);
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
        Say(vked::FormatText(vked::txt::kVarNotSettable, name.GetString()));
        return;
    }
    if (rc != RTNORM) return;
    const CString why = vked::SetVarRefusal(name.GetString(), value);
    if (!why.IsEmpty()) Fail(vked::FormatText(vked::txt::kCannotSet, name.GetString(), why.GetString()));
}

// What U, UNDO and REDO did: a line for each command taken back or brought back.
void SayOutcome(const vkundo::Outcome& o, vked::txt::Id done, vked::txt::Id nothing, vked::txt::Id cannot)
{
    if (o.commands.empty() && o.error.IsEmpty()) Say(vked::Text(nothing));
    for (const CString& name : o.commands) Say(vked::FormatText(done, name.GetString()));
    if (!o.error.IsEmpty()) Fail(vked::FormatText(cannot, o.error.GetString()));
}

void TakeBack(int count)
{
    using namespace vked::txt;
    SayOutcome(vkundo::undo(count), kUndone, kNothingToUndoCommand, kCannotUndo);
}

void CmdU() { TakeBack(1); }

void CmdUndo()
{
    int count = 1;
    const int rc = acedGetInt(vked::Text(vked::txt::kUndoCount), &count);
    if (rc == RTNONE) count = 1;
    else if (rc != RTNORM) return;
    if (count < 1) {
        Fail(vked::Text(vked::txt::kUndoCountTooSmall));
        return;
    }
    TakeBack(count);
}

void CmdRedo()
{
    using namespace vked::txt;
    SayOutcome(vkundo::redo(), kRedone, kNothingToRedo, kCannotRedo);
}

void CmdQuit()
{
    if (!ConfirmQuit()) return;
    g_quit = true;
    vked::inputQueue().clear();
}

using namespace vked::txt;
// Session commands run with no drawing open too; the others work on the current drawing.
const HostCommandSpec kCommands[] = {
    {u"OPEN", CmdOpen, ACRX_CMD_SESSION, u"Opens a drawing, or makes an open one current.", u"打开图形，或切换到已打开的图形。",
     {kOpenPrompt}},
    {u"NEW", CmdNew, ACRX_CMD_SESSION, u"Makes a new, empty drawing (written on its first save).",
     u"新建空白图形（首次保存时写出）。", {kNewPrompt}},
    {u"QSAVE", CmdQSave, ACRX_CMD_MODAL, u"Saves the current drawing.", u"保存当前图形。", {}},
    {u"SAVEAS", CmdSaveAs, ACRX_CMD_MODAL, u"Saves the current drawing under another name.", u"将当前图形另存为。",
     {kSaveAsPrompt}},
    {u"SAVEALL", CmdSaveAll, ACRX_CMD_SESSION, u"Saves every open drawing.", u"保存全部打开的图形。", {}},
    {u"CLOSE", CmdClose, ACRX_CMD_MODAL, u"Closes the current drawing, asking about unsaved changes.",
     u"关闭当前图形，有未保存的修改时先询问。", {kSaveChanges}},
    {u"ERASE", CmdErase, ACRX_CMD_MODAL, u"Erases objects.", u"删除对象。", {kSelectObjects}},
    {u"MOVE", CmdMove, ACRX_CMD_MODAL, u"Moves objects from a base point to a second point.", u"将对象从基点移到第二点。",
     {kSelectObjects, kBasePoint, kSecondPoint}},
    {u"COPY", CmdCopy, ACRX_CMD_MODAL, u"Copies objects from a base point to a second point.", u"将对象从基点复制到第二点。",
     {kSelectObjects, kBasePoint, kSecondPoint}},
    {u"LIST", CmdList, ACRX_CMD_MODAL, u"Lists the properties of objects.", u"列出对象的特性。", {kSelectObjects}},
    {u"APPLOAD", CmdAppLoad, ACRX_CMD_SESSION, u"Loads a plug-in.", u"加载插件。", {kAppLoadPrompt}},
    {u"SETVAR", CmdSetVar, ACRX_CMD_SESSION, u"Shows or sets a system variable.", u"显示或设置系统变量。",
     {kVarNamePrompt, kVarNewValueText}},
    {u"U", CmdU, ACRX_CMD_SESSION, u"Takes back the last command, with all it changed in every drawing and the library.",
     u"放弃上一个命令及其在各图形和房间库中所做的全部修改。", {}},
    {u"UNDO", CmdUndo, ACRX_CMD_SESSION, u"Takes back a number of commands.", u"放弃若干个命令。", {kUndoCount}},
    {u"REDO", CmdRedo, ACRX_CMD_SESSION, u"Brings back what the last U or UNDO took back.", u"恢复上一个 U 或 UNDO 放弃的内容。",
     {}},
    {u"QUIT", CmdQuit, ACRX_CMD_SESSION, u"Ends vkcad.", u"退出 vkcad。", {}},
    {u"EXIT", CmdQuit, ACRX_CMD_SESSION, u"Ends vkcad (as QUIT).", u"退出 vkcad（同 QUIT）。", {}},
};

}  // namespace

// Closing a drawing with changes no file holds asks first, at the console and in a script
// alike; a script that gives no answer keeps the drawing open and fails.
bool CloseCurrentDrawing()
{
    AcApDocument* doc = acDocManager->curDocument();
    if (!doc) return false;
    if (vkdb::IsModifiedSinceSave(doc->database())) {
        bool answered = false;
        switch (AskSaveChanges({doc}, &answered)) {
        case IDYES:
            if (!SaveAll({doc})) return false;  // the failed save was said; the drawing stays
            break;
        case IDNO: break;
        default:
            if (!answered) Fail(vked::FormatText(vked::txt::kStaysOpen, CString(doc->docTitle()).GetString()));
            return false;
        }
    }
    const Acad::ErrorStatus es = acDocManager->closeDocument(doc);
    if (es != Acad::eOk) Fail(vked::FormatText(vked::txt::kCannotClose, StatusText(es).GetString()));
    return es == Acad::eOk;
}

void AddHostCommand(const HostCommandSpec& c)
{
    acedRegCmds()->addCommand(kGroup, c.name, c.name, c.flags, c.fn);
    CString prompts;
    for (vked::txt::Id p : c.prompts) prompts += (prompts.IsEmpty() ? u"" : u"\n") + vked::PromptShape(p);
    acedRegCmds()->setCommandHelp(kGroup, c.name, vked::Pick(c.summaryEnglish, c.summaryChinese), prompts.GetString());
}

void RegisterHostCommands()
{
    if (acedRegCmds()->hasGroup(kGroup)) return;
    for (const HostCommandSpec& c : kCommands) AddHostCommand(c);
    RegisterDraftingCommands();
    RegisterLayerCommand();
    RegisterProjectCommands();
    RegisterHelpCommand();
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
