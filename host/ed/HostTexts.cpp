#include "host/ed/HostTexts.h"

#include <cstdarg>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace vked {
namespace {

struct Entry {
    txt::Id id;
    const char16_t* english;
    const char16_t* chinese;
};

using namespace txt;
// In the order of txt::Id (checked below).
constexpr Entry kTexts[] = {
    {kCommandPrompt, u"Command: ", u"命令: "},
    {kNotSaved, u"Modified drawings not saved: %s", u"修改未保存的图形: %s"},
    {kNewOnFirstSave, u"** %s does not exist: a new drawing, written on its first save **",
     u"** %s 不存在: 新建图形，首次保存时写出 **"},
    {kUnknownCommand, u"Unknown command \"%s\".", u"未知命令 \"%s\"。"},
    {kDidYouMean, u"Did you mean %s?", u"您是否要输入 %s？"},
    {kSeeHelp, u"HELP lists the commands.", u"HELP 列出全部命令。"},
    {kNoDrawingOpen, u"No drawing is open: \"%s\" needs one.", u"没有打开的图形: \"%s\" 需要一个图形。"},
    {kCancel, u"*Cancel*", u"*取消*"},
    {kSelectObjects, u"Select objects: ", u"选择对象: "},
    {kRemoveObjects, u"Remove objects: ", u"删除对象: "},
    {kFound, u"%d found", u"找到 %d 个"},
    {kDuplicates, u" (%d duplicate)", u"（%d 个重复）"},
    {kOnLockedLayer1, u"1 was on a locked layer.", u"1 个在锁定的图层上。"},
    {kOnLockedLayerN, u"%d were on a locked layer.", u"%d 个在锁定的图层上。"},

    {kOpenPrompt, u"Enter name of drawing to open: ", u"输入要打开的图形名: "},
    {kOpenNoSuchDrawing, u"Cannot open %s: no such drawing (NEW makes a new one)",
     u"无法打开 %s: 没有这个图形（NEW 新建图形）"},
    {kCannotOpen, u"Cannot open %s: %s", u"无法打开 %s: %s"},
    {kNewPrompt, u"Enter name of new drawing: ", u"输入新图形名: "},
    {kNewExists, u"Cannot create %s: a drawing of that name exists (OPEN opens it)",
     u"无法新建 %s: 已有同名图形（OPEN 打开它）"},
    {kNewNoFolder, u"Cannot create %s: its folder does not exist", u"无法新建 %s: 文件夹不存在"},
    {kCannotCreate, u"Cannot create %s: %s", u"无法新建 %s: %s"},
    {kSaveAsPrompt, u"Enter file name: ", u"输入文件名: "},
    {kCannotSave, u"Cannot save %s: %s", u"无法保存 %s: %s"},
    {kSaveChanges, u"Save changes to %s?", u"保存对 %s 的修改吗？"},
    {kStaysOpen,
     u"%s stays open: its changes are not saved and no answer was given (!answer yes saves them, !answer no drops them)",
     u"%s 保持打开: 修改未保存且没有回答（!answer yes 保存，!answer no 放弃）"},
    {kCannotClose, u"Cannot close: %s", u"无法关闭: %s"},
    {kErased, u"%d erased", u"删除了 %d 个"},
    {kBasePoint, u"Specify base point: ", u"指定基点: "},
    {kSecondPoint, u"Specify second point: ", u"指定第二个点: "},
    {kBeyondReach, u"A point is beyond what a drawing can hold; nothing was changed.",
     u"点超出了图形能容纳的范围，未做任何修改。"},
    {kCannotMove, u"Cannot move #%s: %s", u"无法移动 #%s: %s"},
    {kCannotCopyHandles,
     u"Cannot copy: %d copies need as many handles and the drawing has %s left; nothing was copied.",
     u"无法复制: %d 个副本需要同样多的句柄，图形只剩 %s 个，未复制任何对象。"},
    {kCannotCopy, u"Cannot copy: %s", u"无法复制: %s"},
    {kAppLoadPrompt, u"Enter plug-in file name: ", u"输入插件文件名: "},
    {kLoaded, u"%s loaded.", u"%s 已加载。"},
    {kCannotLoad, u"Cannot load %s: %s", u"无法加载 %s: %s"},
    {kVarNamePrompt, u"Enter variable name: ", u"输入变量名: "},
    {kVarReadOnly, u"%s is read-only.", u"%s 是只读的。"},
    {kVarUnknown, u"Unknown variable name: %s", u"未知变量名: %s"},
    {kVarNewValueInt, u"Enter new value for %s <%d>: ", u"输入 %s 的新值 <%d>: "},
    {kVarNewValueReal, u"Enter new value for %s <%s>: ", u"输入 %s 的新值 <%s>: "},
    {kVarNewValueText, u"Enter new value for %s <\"%s\">: ", u"输入 %s 的新值 <\"%s\">: "},
    {kVarNotSettable, u"%s cannot be set here.", u"%s 不能在这里设置。"},
    {kCannotSet, u"Cannot set %s: %s.", u"无法设置 %s: %s。"},

    {kFirstPoint, u"Specify first point: ", u"指定第一个点: "},
    {kNextPointLine, u"Specify next point [Close/Undo]: ", u"指定下一点 [闭合(C)/放弃(U)]: "},
    {kStartPoint, u"Specify start point: ", u"指定起点: "},
    {kNextPointPline, u"Specify next point [Arc/Close/Undo]: ", u"指定下一点 [圆弧(A)/闭合(C)/放弃(U)]: "},
    {kArcEndPoint, u"Specify end point of arc [Line/Close/Undo]: ", u"指定圆弧的端点 [直线(L)/闭合(C)/放弃(U)]: "},
    {kCenterPoint, u"Specify center point: ", u"指定圆心: "},
    {kRadius, u"Specify radius <%s>: ", u"指定半径 <%s>: "},
    {kTextStart, u"Specify start point of text: ", u"指定文字的起点: "},
    {kTextHeight, u"Specify height <%s>: ", u"指定高度 <%s>: "},
    {kTextRotation, u"Specify rotation angle of text <%s>: ", u"指定文字的旋转角度 <%s>: "},
    {kTextPrompt, u"Enter text: ", u"输入文字: "},
    {kRotationAngle, u"Specify rotation angle in degrees: ", u"指定旋转角度（度）: "},
    {kMirrorFirst, u"Specify first point of mirror line: ", u"指定镜像线的第一点: "},
    {kMirrorSecond, u"Specify second point of mirror line: ", u"指定镜像线的第二点: "},
    {kMirrorErase, u"Erase source objects? [Yes/No] <No>: ", u"要删除源对象吗？[是(Y)/否(N)] <否>: "},
    {kScaleFactor, u"Specify scale factor: ", u"指定比例因子: "},
    {kNothingToUndo, u"Nothing to undo.", u"没有可放弃的点。"},
    {kTooFewForClose, u"Close needs two segments at least.", u"闭合至少需要两段。"},
    {kSamePoint, u"That is the last point; give another.", u"这是上一个点，请指定另一个点。"},
    {kCannotDraw, u"Cannot draw: %s", u"无法绘制: %s"},
    {kChanged, u"%d changed", u"修改了 %d 个"},

    {kLayerOption, u"Enter an option [?/ON/OFF/Freeze/Thaw/LOck/Unlock/Set]: ",
     u"输入选项 [?/开(ON)/关(OFF)/冻结(F)/解冻(T)/锁定(LO)/解锁(U)/置为当前(S)]: "},
    {kLayerName, u"Enter layer name: ", u"输入图层名: "},
    {kLayerListHeader, u"Layers of %s:", u"%s 的图层:"},
    {kLayerNoSuch, u"Cannot change layer %s: the drawing has no layer of that name.",
     u"无法修改图层 %s: 图形中没有这个图层。"},
    {kLayerCurrentFrozen, u"Cannot make %s current: it is frozen.", u"无法将 %s 置为当前: 它已冻结。"},
    {kLayerFreezeCurrent, u"Cannot freeze %s: it is the current layer.", u"无法冻结 %s: 它是当前图层。"},
    {kLayerSet, u"Current layer: %s", u"当前图层: %s"},
    {kLayerOn, u"on", u"开"},
    {kLayerOff, u"off", u"关"},
    {kLayerFrozen, u"frozen", u"冻结"},
    {kLayerThawed, u"thawed", u"解冻"},
    {kLayerLocked, u"locked", u"锁定"},
    {kLayerUnlocked, u"unlocked", u"解锁"},
    {kLayerCurrentMark, u"current", u"当前"},

    {kProjectOption, u"Enter an option [Open/New] <Open>: ", u"输入选项 [打开(O)/新建(N)] <打开>: "},
    {kProjectFile, u"Enter project file: ", u"输入项目文件: "},
    {kProjectFolder, u"Enter folder of the new project: ", u"输入新项目的文件夹: "},
    {kProjectName, u"Enter project name <%s>: ", u"输入项目名 <%s>: "},
    {kProjectFloors, u"Enter floor names, separated by commas <1F>: ", u"输入楼层名，以逗号分隔 <1F>: "},
    {kProjectMade, u"Project %s made with %d floors: %s", u"已建立项目 %s，共 %d 层: %s"},
    {kProjectBadFloors, u"Cannot create the project: %s", u"无法建立项目: %s"},
    {kProjectExists, u"Cannot create %s: it exists (PROJECT Open opens it)", u"无法建立 %s: 文件已存在（PROJECT 打开它）"},
    {kProjectCannotWrite, u"Cannot create %s: %s", u"无法建立 %s: %s"},
    {kCannotOpenProject, u"Cannot open project %s: %s", u"无法打开项目 %s: %s"},
    {kNoProject, u"No project is open: PROJECT opens or makes one.", u"没有打开的项目: PROJECT 打开或建立一个。"},
    {kFloorPrompt, u"Enter floor to switch to <%s>: ", u"输入要切换到的楼层 <%s>: "},
    {kFloorListHeader, u"Floors of %s:", u"%s 的楼层:"},
    {kFloorCurrentMark, u" (current)", u"（当前）"},
    {kFloorNoSuch, u"Cannot open floor %s: the project has no floor of that name", u"无法打开楼层 %s: 项目中没有这个楼层"},
    {kCannotOpenFloor, u"Cannot open floor %s: %s", u"无法打开楼层 %s: %s"},
    {kFloorOpened, u"Floor %s is current: %s", u"当前楼层 %s: %s"},
    {kImportPrompt, u"Enter DXF file to import: ", u"输入要输入的 DXF 文件: "},
    {kImported, u"%s: %d entities imported into %s%s; %d layers, %d blocks", u"%s: %d 个实体已输入到 %s%s；%d 个图层，%d 个块"},
    {kNotImported, u"%s: not imported: %s", u"%s: 未输入: %s"},
    {kCannotImport, u"Cannot import %s: %s", u"无法输入 %s: %s"},
    {kExportPrompt, u"Enter DXF file to write <%s>: ", u"输入要写出的 DXF 文件 <%s>: "},
    {kExported, u"%s: %d entities written to %s%s", u"%s: %d 个实体已写到 %s%s"},
    {kCannotExport, u"Cannot export to %s: %s", u"无法输出到 %s: %s"},

    {kHelpPrompt, u"Enter a command name <all>: ", u"输入命令名 <全部>: "},
    {kHelpHeader, u"Commands (HELP NAME shows a command's prompts):", u"命令（HELP 命令名 显示该命令的提示）:"},
    {kHelpNoSuch, u"No command is named %s.", u"没有名为 %s 的命令。"},
    {kHelpNoPrompts, u"It asks nothing.", u"该命令没有提示。"},
    {kHelpPromptsOf, u"%s (group %s): %s", u"%s（命令组 %s）: %s"},
    {kHelpNoSummary, u"(no description)", u"（无说明）"},
    {kHelpNotRegistered, u"Its plug-in registered no prompts for HELP.", u"其插件没有为 HELP 登记提示。"},

    {kUndoCount, u"Enter the number of commands to undo <1>: ", u"输入要放弃的命令数 <1>: "},
    {kUndoCountTooSmall, u"The number of commands to undo must be 1 or more.", u"要放弃的命令数必须至少为 1。"},
    {kUndone, u"Undone: %s", u"已放弃: %s"},
    {kRedone, u"Redone: %s", u"已恢复: %s"},
    {kNothingToUndoCommand, u"Nothing to undo.", u"没有可放弃的命令。"},
    {kNothingToRedo, u"Nothing to redo.", u"没有可恢复的命令。"},
    {kCannotUndo, u"Cannot undo %s; it stays as it is.", u"无法放弃 %s；保持原样。"},
    {kCannotRedo, u"Cannot redo %s; it stays as it is.", u"无法恢复 %s；保持原样。"},
};
static_assert(std::size(kTexts) == kCount, "every text has one entry");
constexpr bool InOrder()
{
    for (int i = 0; i < kCount; ++i)
        if (kTexts[i].id != i) return false;
    return true;
}
static_assert(InOrder(), "entries follow the order of txt::Id");

bool NamesChinese(std::string_view value) { return value.substr(0, 2) == "zh"; }

std::optional<Language>& Chosen()
{
    static std::optional<Language> lang;
    return lang;
}

}  // namespace

Language LanguageFromEnvironment(const char* vkcadLang, const char* lcAll, const char* lcMessages, const char* lang)
{
    if (vkcadLang && *vkcadLang) {
        const std::string_view v(vkcadLang);
        if (v == "en") return Language::kEnglish;
        if (v == "zh") return Language::kChinese;
    }
    for (const char* locale : {lcAll, lcMessages, lang})
        if (locale && *locale) return NamesChinese(locale) ? Language::kChinese : Language::kEnglish;
    return Language::kEnglish;
}

Language CurrentLanguage()
{
    std::optional<Language>& lang = Chosen();
    if (!lang)
        lang = LanguageFromEnvironment(std::getenv("VKCAD_LANG"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                       std::getenv("LANG"));
    return *lang;
}

void SetLanguage(Language lang) { Chosen() = lang; }

const char16_t* TextIn(txt::Id id, Language lang)
{
    if (id < 0 || id >= kCount) return u"";
    return lang == Language::kChinese ? kTexts[id].chinese : kTexts[id].english;
}

const char16_t* Text(txt::Id id) { return TextIn(id, CurrentLanguage()); }

CString PromptShape(txt::Id id)
{
    const std::u16string_view t = Text(id);
    CString shape;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == u'%' && i + 1 < t.size() && (t[i + 1] == u's' || t[i + 1] == u'd')) {
            shape += u"...";
            ++i;
        } else {
            shape += t[i];
        }
    }
    shape.Trim();
    return shape;
}

CString FormatText(txt::Id id, ...)
{
    va_list args;
    va_start(args, id);
    CString s;
    s.FormatV(Text(id), args);
    va_end(args);
    return s;
}

}  // namespace vked
