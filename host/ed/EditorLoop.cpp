#include "host/ed/EditorLoop.h"

#include "host/ed/AcEdCommandStack.h"
#include "host/ed/HostTexts.h"
#include "host/ed/Transcript.h"
#include "host/ed/detail/PromptReader.h"

namespace vked {
namespace {

DialogActionHook g_dialogHook;
std::function<void()> g_drawingHook;
std::vector<WaitingReader> g_readers;  // the waiting readers, innermost last
struct ReaderInput {
    PromptInput input;
    const CString* keywords;
    unsigned serial;
};
std::vector<ReaderInput> g_inputs;  // what each of them takes, in the same order
unsigned g_serial = 0;

// Input-ended bookkeeping (see the policy in EditorLoop.h).
bool g_endNoted = false;
int g_endedAnswers = 0;
constexpr int kEscAnswers = 20;
constexpr int kEnterAnswers = 20;

bool IsBlankOrComment(const CString& t)
{
    CString s = t;
    s.Trim();
    return s.IsEmpty() || s[0] == u';';
}

CString Trimmed(const CString& t)
{
    CString s = t;
    s.Trim();
    return s;
}

}  // namespace

void ReportBadLine(const InputLine& line, const CString& why)
{
    CString msg;
    if (line.lineNo > 0)
        msg.Format(u"** line %d (%s): %s: \"%s\" **", line.lineNo, line.source.GetString(), why.GetString(),
                   line.text.GetString());
    else
        msg.Format(u"** %s: %s: \"%s\" **", line.source.GetString(), why.GetString(), line.text.GetString());
    transcript().writeLine(msg);
}

void ReportInputEnded(const CString& what)
{
    if (g_endNoted) return;
    g_endNoted = true;
    transcript().writeLine(CString(u"** input ended: ") + what + u" **");
}

void EchoInput(const InputLine& line)
{
    // A line the terminal showed as it was typed is not shown again; the words typed after a
    // command name were shown after the Command: prompt, not after the prompt they answer.
    if (line.silent || (!transcript().echoInput() && line.shown)) return;
    transcript().write(Trimmed(line.text));
    transcript().write(u"\n");
}

void ResetInputEnded()
{
    g_endNoted = false;
    g_endedAnswers = 0;
}

bool IsPromptActive() { return !g_readers.empty(); }
int PromptDepth() { return static_cast<int>(g_readers.size()); }
WaitingReader InnermostReader() { return g_readers.empty() ? WaitingReader::kPrompt : g_readers.back(); }

PromptState InnermostPrompt()
{
    if (g_inputs.empty()) return {};
    const ReaderInput& r = g_inputs.back();
    return PromptState{r.input, r.keywords ? *r.keywords : CString(), r.serial};
}

void SetDialogActionHook(DialogActionHook hook) { g_dialogHook = std::move(hook); }

bool DispatchDialogAction(const InputLine& line, CString& why)
{
    if (!g_dialogHook) {
        why = u"no dialog framework is loaded";
        return false;
    }
    return g_dialogHook(line, why);
}

void SetDrawingInputHook(std::function<void()> hook) { g_drawingHook = std::move(hook); }
void NotifyDrawingInput()
{
    if (g_drawingHook) g_drawingHook();
}

namespace detail {

PromptScope::PromptScope(WaitingReader kind, PromptInput input, const CString* keywords)
{
    g_readers.push_back(kind);
    g_inputs.push_back(ReaderInput{input, keywords, ++g_serial});
}
PromptScope::~PromptScope()
{
    g_readers.pop_back();
    g_inputs.pop_back();
}

void ResetInputEndedState()
{
    g_endNoted = false;
    g_endedAnswers = 0;
}

ReadResult ReadEvent(const CString& what, bool wantsMotion)
{
    InputQueue& q = inputQueue();
    for (;;) {
        std::optional<InputLine> got = q.take();
        if (!got) {
            ++g_endedAnswers;
            if (g_endedAnswers > kEscAnswers + kEnterAnswers) throw InputExhausted();
            ReportInputEnded(what + u" answered Esc");
            if (g_endedAnswers > kEscAnswers) return ReadResult{ReadResult::kEnter, {}};
            transcript().writeLine(Text(txt::kCancel));
            return ReadResult{ReadResult::kCancel, {}};
        }
        InputLine line = std::move(*got);
        ResetInputEnded();
        if (line.cancel) {
            transcript().writeLine(Text(txt::kCancel));
            return ReadResult{ReadResult::kCancel, line};
        }
        if (IsBlankOrComment(line.text)) continue;
        CString t = Trimmed(line.text);
        if (t.CompareNoCase(u"<esc>") == 0) {
            transcript().endLine();
            transcript().writeLine(Text(txt::kCancel));
            return ReadResult{ReadResult::kCancel, line};
        }
        if (t.CompareNoCase(u"<enter>") == 0) {
            transcript().endLine();
            return ReadResult{ReadResult::kEnter, line};
        }
        if (t[0] == u'!') {
            CString word = SplitWords(t)[0];
            if (word.CompareNoCase(u"!move") == 0) {
                if (wantsMotion) return ReadResult{ReadResult::kLine, line};
                transcript().endLine();
                EchoInput(line);
                continue;  // a cursor motion with nothing dragged: nothing happens
            }
            if (word.CompareNoCase(u"!answer") == 0) {
                if (InnermostReader() == WaitingReader::kQuestion) return ReadResult{ReadResult::kLine, line};
                ReportBadLine(line, u"no message box is waiting");
                continue;
            }
            if (word.CompareNoCase(u"!highlighted") == 0) {
                transcript().endLine();
                EchoInput(line);
                transcript().writeLine(HighlightedText());
                continue;
            }
            transcript().endLine();
            EchoInput(line);
            CString why;
            if (!DispatchDialogAction(line, why)) ReportBadLine(line, why);
            return ReadResult{ReadResult::kAction, line};
        }
        return ReadResult{ReadResult::kLine, line};
    }
}

}  // namespace detail

void RunModalLoop(const std::function<bool()>& done, const std::function<void()>& onCancel)
{
    detail::PromptScope scope(WaitingReader::kDialog, PromptInput::kDialog);
    while (!done()) {
        detail::ReadResult r;
        try {
            r = detail::ReadEvent(u"a dialog waited; it was");
        } catch (const InputExhausted&) {
            onCancel();
            throw;
        }
        switch (r.kind) {
        case detail::ReadResult::kAction: break;
        case detail::ReadResult::kCancel: onCancel(); break;
        case detail::ReadResult::kEnter:
            if (r.line.text.IsEmpty()) onCancel();  // input ended
            else ReportBadLine(r.line, u"a dialog is waiting for a dialog action");
            break;
        case detail::ReadResult::kLine: ReportBadLine(r.line, u"a dialog is waiting for a dialog action"); break;
        }
    }
}

namespace {

// The button a word names: its name or first letter, in any case; -1 when none.
int ButtonNamed(const std::vector<CString>& buttons, const CString& word)
{
    for (size_t i = 0; i < buttons.size(); ++i)
        if (word.CompareNoCase(buttons[i]) == 0 || (word.GetLength() == 1 && word.CompareNoCase(buttons[i].Left(1)) == 0))
            return static_cast<int>(i);
    return -1;
}

// "!answer WORD": WORD; otherwise nothing.
std::optional<CString> AnswerWord(const CString& text)
{
    std::vector<CString> words = detail::SplitWords(text);
    if (words.size() == 2 && words[0].CompareNoCase(u"!answer") == 0) return words[1];
    return std::nullopt;
}

CString ButtonList(const std::vector<CString>& buttons)
{
    CString list;
    for (const CString& b : buttons) {
        if (!list.IsEmpty()) list += u", ";
        list += b;
    }
    return list;
}

// "Yes" from "yes".
CString Capitalised(const CString& name) { return CString(name.Left(1)).MakeUpper() + name.Mid(1); }

// The question put to a person at the console: read until a line names a button.
int AskPerson(const std::vector<CString>& buttons, int defaultButton)
{
    CString prompt = u"[";
    for (size_t i = 0; i < buttons.size(); ++i) prompt += (i ? u"/" : u"") + Capitalised(buttons[i]);
    prompt += u"] <" + Capitalised(buttons[static_cast<size_t>(defaultButton)]) + u">: ";
    const int cancel = ButtonNamed(buttons, u"cancel");
    CString names;
    for (const CString& b : buttons) names += (names.IsEmpty() ? u"" : u" ") + b;
    detail::PromptScope scope(WaitingReader::kQuestion, PromptInput::kQuestion, &names);
    transcript().write(prompt);
    for (;;) {
        detail::ReadResult r = detail::ReadEvent(u"a message box waited; it was");
        switch (r.kind) {
        case detail::ReadResult::kCancel: return cancel >= 0 ? cancel : defaultButton;
        case detail::ReadResult::kEnter: return defaultButton;
        case detail::ReadResult::kAction: transcript().write(prompt); continue;
        case detail::ReadResult::kLine: break;
        }
        CString text = r.line.text;
        text.Trim();
        const std::optional<CString> word = AnswerWord(text);
        const int chosen = ButtonNamed(buttons, word ? *word : text);
        if (chosen >= 0) {
            EchoInput(r.line);
            return chosen;
        }
        ReportBadLine(r.line, u"expected one of " + ButtonList(buttons));
        transcript().write(prompt);
    }
}

}  // namespace

std::optional<int> TakeMessageBoxAnswer(const std::vector<CString>& buttons, int defaultButton)
{
    if (buttons.empty()) return std::nullopt;
    if (defaultButton < 0 || defaultButton >= static_cast<int>(buttons.size())) defaultButton = 0;
    InputQueue& q = inputQueue();
    for (;;) {
        // A box of one button tells and asks nothing: the person is not kept waiting.
        if (q.personTypesNext()) return buttons.size() > 1 ? AskPerson(buttons, defaultButton) : defaultButton;
        const InputLine* l = q.peek();
        if (!l) return std::nullopt;
        if (!l->cancel && IsBlankOrComment(l->text)) {
            q.take();
            continue;
        }
        if (l->cancel) return std::nullopt;
        const std::optional<CString> word = AnswerWord(l->text);
        if (!word) return std::nullopt;
        InputLine line = *q.take();
        EchoInput(line);
        const int chosen = ButtonNamed(buttons, *word);
        if (chosen < 0) ReportBadLine(line, u"the message box has no such button; its default answers");
        return chosen < 0 ? std::nullopt : std::optional<int>(chosen);
    }
}

namespace {

// After a word that names no command: the nearest names, or where to find them all.
void SuggestCommands(const CString& typed)
{
    CString names;
    for (const CString& n : NearestCommandNames(typed)) names += (names.IsEmpty() ? u"" : u", ") + n;
    transcript().writeLine(names.IsEmpty() ? CString(Text(txt::kSeeHelp)) : FormatText(txt::kDidYouMean, names.GetString()));
}

}  // namespace

bool RunNextTopLevelLine()
{
    InputQueue& q = inputQueue();
    std::optional<InputLine> got = q.take();
    if (!got) return false;
    InputLine line = std::move(*got);
    if (line.cancel || IsBlankOrComment(line.text)) return true;
    CString t = Trimmed(line.text);
    if (t.CompareNoCase(u"<esc>") == 0) {
        transcript().writeLine(Text(txt::kCancel));
        return true;
    }
    if (t.CompareNoCase(u"<enter>") == 0) return true;
    if (t[0] == u'!') {
        transcript().endLine();
        EchoInput(line);
        if (detail::SplitWords(t)[0].CompareNoCase(u"!highlighted") == 0) {
            transcript().writeLine(detail::HighlightedText());
            return true;
        }
        CString why;
        try {
            if (!DispatchDialogAction(line, why)) ReportBadLine(line, why);
        } catch (const InputExhausted&) {
            transcript().writeLine(u"** input ended: dialog abandoned **");
        }
        return true;
    }
    AcGePoint3d pt;
    if (detail::ParsePoint(t, pt) || t[0] == u'#') {
        ReportBadLine(line, u"no command is waiting for input");
        return true;
    }
    // The first word is the command; the rest answers its first prompt, as a space would.
    int sp = t.Find(u' ');
    CString name = sp < 0 ? t : t.Left(sp);
    if (sp >= 0) {
        CString rest = t.Mid(sp + 1);
        rest.Trim();
        if (!rest.IsEmpty()) q.unread(InputLine{rest, line.source, line.lineNo, false});
    }
    // A terminal that echoes what is typed has shown the command after its own prompt.
    if (transcript().echoInput()) transcript().writeLine(CString(Text(txt::kCommandPrompt)) + name);
    if (!RunCommand(name)) {
        if (sp >= 0) q.take();  // the rest belonged to the unknown command
        transcript().writeLine(FormatText(txt::kUnknownCommand, name.GetString()));
        SuggestCommands(name);
    }
    return true;
}

void RunUntilEndOfInput()
{
    while (RunNextTopLevelLine()) {
    }
}

}  // namespace vked
