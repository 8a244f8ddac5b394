#pragma once
// The host's texts in the session's language: one catalogue, each text defined once with its
// English and its Chinese form (HostTexts.cpp). The language is chosen once per process:
// VKCAD_LANG=en|zh when set, else Chinese when the locale (LC_ALL, LC_MESSAGES, LANG, the first
// that is set) names Chinese (zh...), else English. Format texts take printf arguments (%s a
// const char16_t*, %d an int).
#include "host/win/CString.h"

namespace vked {

enum class Language { kEnglish, kChinese };
Language CurrentLanguage();
void SetLanguage(Language lang);  // for tests and the session's start
// The language named by those variables (values as getenv gives them; null for unset).
Language LanguageFromEnvironment(const char* vkcadLang, const char* lcAll, const char* lcMessages, const char* lang);

// The text of the session's language, of a plug-in's own pair.
inline const char16_t* Pick(const char16_t* english, const char16_t* chinese)
{
    return CurrentLanguage() == Language::kChinese ? chinese : english;
}

namespace txt {
enum Id : int {
    // the command line
    kCommandPrompt, kNotSaved, kNewOnFirstSave, kUnknownCommand, kDidYouMean, kSeeHelp, kNoDrawingOpen, kCancel,
    kSelectObjects, kRemoveObjects, kFound, kDuplicates, kOnLockedLayer1, kOnLockedLayerN,
    // files and drawings
    kOpenPrompt, kOpenNoSuchDrawing, kCannotOpen, kNewPrompt, kNewExists, kNewNoFolder, kCannotCreate,
    kSaveAsPrompt, kCannotSave, kSaveChanges, kStaysOpen, kCannotClose, kErased, kBasePoint, kSecondPoint,
    kBeyondReach, kCannotMove, kCannotCopyHandles, kCannotCopy, kAppLoadPrompt, kLoaded, kCannotLoad,
    kVarNamePrompt, kVarReadOnly, kVarUnknown, kVarNewValueInt, kVarNewValueReal, kVarNewValueText,
    kVarNotSettable, kCannotSet,
    // drafting
    kFirstPoint, kNextPointLine, kStartPoint, kNextPointPline, kArcEndPoint, kCenterPoint, kRadius,
    kTextStart, kTextHeight, kTextRotation, kTextPrompt, kRotationAngle, kMirrorFirst, kMirrorSecond,
    kMirrorErase, kScaleFactor, kNothingToUndo, kTooFewForClose, kSamePoint, kCannotDraw, kChanged,
    // layers
    kLayerOption, kLayerName, kLayerListHeader, kLayerNoSuch, kLayerCurrentFrozen, kLayerFreezeCurrent,
    kLayerSet, kLayerOn, kLayerOff, kLayerFrozen, kLayerThawed, kLayerLocked, kLayerUnlocked,
    kLayerCurrentMark,
    // projects and plans
    kProjectOption, kProjectFile, kProjectFolder, kProjectName, kProjectFloors, kProjectMade,
    kProjectBadFloors, kProjectExists, kProjectCannotWrite, kCannotOpenProject, kNoProject,
    kFloorPrompt, kFloorListHeader, kFloorCurrentMark, kFloorNoSuch, kCannotOpenFloor, kFloorOpened,
    kImportPrompt, kImported, kNotImported, kCannotImport, kExportPrompt, kExported, kCannotExport,
    // help
    kHelpPrompt, kHelpHeader, kHelpNoSuch, kHelpNoPrompts, kHelpPromptsOf, kHelpNoSummary, kHelpNotRegistered,
    // undo and redo of commands
    kUndoCount, kUndoCountTooSmall, kUndone, kRedone, kNothingToUndoCommand, kNothingToRedo, kCannotUndo,
    kCannotRedo,
    kCount
};
}  // namespace txt

const char16_t* Text(txt::Id id);        // in the session's language
CString FormatText(txt::Id id, ...);     // the text with printf arguments
// A prompt as HELP shows it: the text with each value put in shown as "...", trimmed.
CString PromptShape(txt::Id id);
// The text in a given language (tests check the catalogue through it).
const char16_t* TextIn(txt::Id id, Language lang);

}  // namespace vked
