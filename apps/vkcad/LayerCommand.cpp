// LAYER: lists the current drawing's layers and turns one on or off, freezes or thaws it,
// locks or unlocks it, or makes it current. What is off or frozen is neither picked nor drawn
// in pictures; what is locked is not changed by the editing commands.
#include "apps/vkcad/HostCommands.h"
#include "host/db/AcDb.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEd.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/SystemVariables.h"

namespace vkcad {
namespace {

using namespace vked::txt;

CString CurrentLayerName()
{
    resbuf rb;
    CString name;
    if (acedGetVar(u"CLAYER", &rb) == RTNORM && rb.restype == RTSTR) {
        name = rb.resval.rstring;
        acutDelString(rb.resval.rstring);
    }
    return name;
}

// "  NAME: on, thawed, unlocked, current" for each layer, in the table's order.
void ListLayers()
{
    AcDbDatabase* db = acdbCurDwg();
    AcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return;
    const std::vector<AcDbObjectId> ids = table->recordIds();
    table->close();
    AcApDocument* doc = acDocManager->curDocument();
    Say(vked::FormatText(kLayerListHeader, doc ? CString(doc->docTitle()).GetString() : u""));
    const CString current = CurrentLayerName();
    for (const AcDbObjectId& id : ids) {
        AcDbLayerTableRecord* layer = nullptr;
        if (acdbOpenObject(layer, id, AcDb::kForRead) != Acad::eOk) continue;
        CString name;
        layer->getName(name);
        CString line = u"  " + name + u": " + vked::Text(layer->isOff() ? kLayerOff : kLayerOn) + u", " +
                       vked::Text(layer->isFrozen() ? kLayerFrozen : kLayerThawed) + u", " +
                       vked::Text(layer->isLocked() ? kLayerLocked : kLayerUnlocked);
        if (name.CompareNoCase(current) == 0) line += CString(u", ") + vked::Text(kLayerCurrentMark);
        layer->close();
        Say(line);
    }
}

// The change an option makes to a layer, or false with the refusal said.
bool ChangeLayer(const CString& option, const CString& name)
{
    AcDbLayerTable* table = nullptr;
    if (acdbCurDwg()->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return false;
    AcDbLayerTableRecord* layer = nullptr;
    const Acad::ErrorStatus es = table->getAt(name.GetString(), layer, AcDb::kForWrite);
    table->close();
    if (es != Acad::eOk) {
        Fail(vked::FormatText(kLayerNoSuch, name.GetString()));
        return false;
    }
    CString own;
    layer->getName(own);
    const bool current = own.CompareNoCase(CurrentLayerName()) == 0;
    bool done = true;
    if (option == u"ON" || option == u"OFF") {
        layer->setIsOff(option == u"OFF");
    } else if (option == u"Freeze" && current) {
        Fail(vked::FormatText(kLayerFreezeCurrent, own.GetString()));
        done = false;
    } else if (option == u"Freeze" || option == u"Thaw") {
        layer->setIsFrozen(option == u"Freeze");
    } else if (option == u"LOck" || option == u"Unlock") {
        layer->setIsLocked(option == u"LOck");
    } else if (option == u"Set" && layer->isFrozen()) {
        Fail(vked::FormatText(kLayerCurrentFrozen, own.GetString()));
        done = false;
    }
    layer->close();
    if (done && option == u"Set") {
        resbuf rb;
        rb.restype = RTSTR;
        rb.resval.rstring = const_cast<char16_t*>(own.GetString());
        acedSetVar(u"CLAYER", &rb);
    }
    return done;
}

void CmdLayer()
{
    for (;;) {
        acedInitGet(0, u"? ON OFF Freeze Thaw LOck Unlock Set");
        char16_t option[32] = {};
        const int rc = acedGetKword(vked::Text(kLayerOption), option, 32);
        if (rc != RTNORM || option[0] == 0) return;
        if (CString(option) == u"?") {
            ListLayers();
            continue;
        }
        char16_t name[512] = {};
        if (acedGetString(1, vked::Text(kLayerName), name, 512) != RTNORM) return;
        CString layer = name;
        layer.Trim();
        if (!layer.IsEmpty()) ChangeLayer(option, layer);
    }
}

}  // namespace

void RegisterLayerCommand()
{
    AddHostCommand({u"LAYER", CmdLayer, ACRX_CMD_MODAL,
                    u"Lists layers; turns one on or off, freezes, thaws, locks, unlocks it or makes it current.",
                    u"列出图层；打开或关闭、冻结、解冻、锁定、解锁图层或将其置为当前。", {kLayerOption, kLayerName}});
}

}  // namespace vkcad
