#pragma once
// The editor's reading of the input queue outside a prompt, and the hooks through which the
// dialog framework (host/ui) takes part.
//
// Top level (no prompt active), a line is:
//   ; text          a comment (not echoed)
//   empty           nothing
//   a word          a command: "Command: WORD" is printed and the command runs, reading
//                   its prompts' answers from the same queue; an unknown word prints
//                   Unknown command "WORD".
//   !action         to the top dialog (a modeless dialog may be open with no command)
//   !highlighted    prints "<highlighted: #H ...>", the highlighted entities of the current
//                   space (also while a prompt waits; the prompt goes on waiting)
//   <esc>           nothing ("*Cancel*")
//   anything else   an error line
//
// Running out of input. When a prompt (or a modal dialog, or a jig) waits and the input has
// run out, it is answered Esc and "** input ended: ... **" is printed once for the command.
// A command that keeps prompting after that is answered Esc 20 times, then Enter 20 times
// (so loops that repeat on cancel but end on an empty answer still end), and then the
// editor throws vked::InputExhausted, which RunCommand catches: it prints
// "** input ended: command NAME abandoned **" and the command is left.
//
// Cancel character. Text posted to the command line is read before queued lines; U+0003
// answers the prompt that reads it with RTCAN (a modal dialog takes it as Cancel).
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "host/ed/InputQueue.h"

namespace vked {

// Reads and acts on one top-level line; false when the input has run out.
bool RunNextTopLevelLine();
void RunUntilEndOfInput();

struct InputExhausted : std::runtime_error {
    InputExhausted() : std::runtime_error("input ended while the command kept prompting") {}
};

// Error line for input that does not fit: "** line N (SOURCE): WHY **".
void ReportBadLine(const InputLine& line, const CString& why);
// Note line "** input ended: WHAT **" (once per stretch of ended input).
void ReportInputEnded(const CString& what);
// Echo of a consumed line (when echo is on, or the line is not one the terminal showed where
// it was typed): appended to the current line, then a line end.
void EchoInput(const InputLine& line);

// Forgets that input ran out (a new script or test starts).
void ResetInputEnded();

bool IsPromptActive();   // a prompt call, jig drag, modal pump or message box is reading input
int PromptDepth();

// What the innermost waiting reader is (when IsPromptActive): a prompt (points, text, a
// selection, a drag: Enter answers it), a modal dialog (it waits for dialog actions) or a
// message box's question put to a person (see TakeMessageBoxAnswer).
enum class WaitingReader { kPrompt, kDialog, kQuestion };
WaitingReader InnermostReader();

// What the innermost waiting reader takes, for a face that offers picks, windows and keyword
// buttons (the window in a browser): a point (a click), an entity pick (a click with the pick
// box), a selection (clicks and W/C boxes), a drag (the jig: motions and a point), dialog
// actions, a message box's answer; kOther reads typed text (numbers, strings, keywords).
// `keywords` is the reader's keyword list as given (space separated), `serial` counts the
// readers started, so that a new prompt is told from the same one waiting again.
enum class PromptInput { kNone, kOther, kPoint, kPick, kSelection, kDrag, kDialog, kQuestion };
struct PromptState {
    PromptInput input = PromptInput::kNone;  // kNone: no reader waits (Command:)
    CString keywords;
    unsigned serial = 0;
};
PromptState InnermostPrompt();

// ---- Hooks for the dialog framework -------------------------------------------------------
// A dialog action line ("!click 206", "!show", ...; not !move, not !answer) read while
// something waits. The hook returns true when done; false with a reason when the line does
// not fit (no dialog shown, no such control, ...), which the reader reports.
using DialogActionHook = std::function<bool(const InputLine& line, CString& why)>;
void SetDialogActionHook(DialogActionHook hook);
bool DispatchDialogAction(const InputLine& line, CString& why);  // false without a hook

// Called after a prompt took drawing input (a point, pick, selection or cursor motion): the
// dialog framework asks the focused modeless dialog whether it keeps the focus.
void SetDrawingInputHook(std::function<void()> hook);
void NotifyDrawingInput();

// A modal loop: reads lines until done() is true. Dialog actions go to the hook; <esc> and the
// cancel character call onCancel(); input running out prints a note and calls onCancel();
// other lines are error lines.
void RunModalLoop(const std::function<bool()>& done, const std::function<void()>& onCancel);

// Message boxes: the answer to a box with these buttons (lower-case names: "yes", "no",
// "cancel", ...), as the index of the button; nothing when nobody answers it (its default
// button answers then).
// A script answers with the line "!answer WORD" next to read (comments and blank lines
// skipped); WORD is the button's name or its first letter, in any case. Any other next line
// is left alone: nobody answered. An !answer naming no button of the box is reported, and
// nobody answered.
// When a person types the input and nothing is queued (the console), a box of one button
// answers it at once (it only tells something); a box with a choice asks them: the
// prompt "[Yes/No/Cancel] <Cancel>: " (the default in angle brackets) takes the name or first
// letter of a button, in any case, or "!answer WORD"; Enter answers the default button, Esc
// (or the cancel character) Cancel, or the default in a box without Cancel; anything else is
// reported and asked again.
std::optional<int> TakeMessageBoxAnswer(const std::vector<CString>& buttons, int defaultButton);

}  // namespace vked
