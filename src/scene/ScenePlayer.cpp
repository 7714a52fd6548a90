// The scene player: reads a script one line ahead, shows its text page by
// page and carries out its directives.

#include <cmath>
#include <vector>

#include "app/Fom.h"
#include "app/GameFolder.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"
#include "scene/ScriptLine.h"
#include "scene/TextNames.h"

using platform::Boolean;
using platform::Text;
using scene::kLineMark;
using scene::kPageEndMark;
using scene::LineKind;

namespace {
const Text kLineBreak = u"\r\n";

Boolean Not(Boolean b) {
    return static_cast<Boolean>(~b);
}

// Beyond 2^53 adding one step no longer changes a double, and a run could
// never finish counting; no script is that long anyway.
constexpr double kMaxRepeat = 9007199254740992.0;
constexpr std::uint64_t kMaxTitleReturnsInARun = 100;
}  // namespace

void Fom::StartScene(const Text& name) {
    // Named before the focus comes to the text, so that the reader hears
    // the name once: hiding the chooser may already bring the focus there.
    Lbl.setSpokenName(scene::playingTextName());
    TimSay.setEnabled(platform::True);
    ShowSay(Text(), platform::True);
    // The keys that advance the text act on the label.
    Lbl.SetFocus();
    LineCount = 1;
    sceneName_ = name;
    actedLine_ = 0;
    pageFirstLine_ = 0;
    FileNo = Files.FreeFile();
    ShowScenePic(name);
    ReadingScript(ScriptFile(name));
    Files.OpenForInput(ScriptFile(name), FileNo);
    CurLine = Files.LineInput(FileNo);
    curLineNumber_ = 1;
    Lbl_Click();
}

void Fom::ShowSay(const Text& text, Boolean show) {
    Lbl.setCaption(text);
    Lbl.setVisible(show);
    PicCom.setVisible(Not(show));
    for (Module.LoopI = 0; Module.LoopI <= Opt.UBound(); Module.LoopI += 1)
        Opt(static_cast<int>(Module.LoopI)).setVisible(Not(show));
}

void Fom::Lbl_Click() {
    if (PicCom.Visible() == platform::True) return;
    AdvanceSay();
    TimSay.setEnabled(platform::True);
}

void Fom::TimSay_Timer() {
    if (!scene::holdsTimer(CurLine)) AdvanceSay();
}

void Fom::BackToTitle() {
    if (activating_ > 0) {
        // The opening scene reached its title line before showing anything:
        // every restart would do the same, forever.
        throw platform::RuntimeError(
            platform::kEndlessLoop,
            platform::trText("Scene",
                             "The opening scene returns to the title before it shows a line, so "
                             "it would restart forever"),
            platform::toUtf8(ScriptFile(game_folder::kOpening)));
    }
    ++titleReturns_;
    Form_Activate();
}

void Fom::ReadNextLine() {
    if (Files.Eof(FileNo)) {
        CurLine = scene::kChooserLine;
    } else {
        CurLine = Files.LineInput(FileNo);
        ++curLineNumber_;
    }
}

void Fom::ContentError(int number, const std::string& what, std::int64_t line) const {
    std::string file = Files.pathOf(FileNo);
    if (line > 0) file += ":" + std::to_string(line);
    throw platform::RuntimeError(number, what, file);
}

// The empty line and the repeat line call for further advances at once.
// They are carried out here by a loop and a stack of repeat runs rather than
// by recursion, so that no script, however long its runs of empty lines or
// nested repeats, can exhaust the stack; the order of effects is the same.
void Fom::AdvanceSay() {
    struct Run {
        double step;
        double count;
        std::uint64_t titleReturnsAtStart;
    };
    std::vector<Run> runs;
    for (;;) {
        // A script closed by a chooser or title line has nothing to advance:
        // a late tick or a run that went past the chooser line does nothing.
        if (!Files.isOpen(FileNo)) return;
        double count = 0;
        const Acted acted = ActOnLine(count);
        if (acted == Acted::kAgainAtOnce) continue;
        if (acted == Acted::kRepeat) runs.push_back({0, count, titleReturns_});

        bool another = false;
        while (!runs.empty()) {
            Run& run = runs.back();
            if (run.step + 1 <= run.count && Files.isOpen(FileNo)) {
                // Counted from the outermost run: a repeat line met again
                // after each return starts a fresh inner run every round.
                if (titleReturns_ - runs.front().titleReturnsAtStart > kMaxTitleReturnsInARun) {
                    // Once a run has gone through the whole opening scene
                    // back to the title, it does so again for every round
                    // still to come: with a large count, practically forever.
                    ContentError(platform::kEndlessLoop,
                                 platform::trText("Scene",
                                                  "A repeat run keeps returning to the title and "
                                                  "would never end"),
                                 0);
                }
                run.step += 1;
                Module.LoopK = run.step;
                another = true;
                break;
            }
            runs.pop_back();
        }
        if (!another) return;
    }
}

Fom::Acted Fom::ActOnLine(double& count) {
    const Text line = CurLine;
    const std::int64_t lineNumber = curLineNumber_;
    actedLine_ = lineNumber;
    ReadNextLine();

    switch (scene::classify(line)) {
        case LineKind::kChooser:
            Files.Close(FileNo);
            for (Module.LoopI = 0; Module.LoopI <= Opt.UBound(); Module.LoopI += 1)
                Opt(static_cast<int>(Module.LoopI)).setVisible(platform::True);
            PicCom.setVisible(platform::True);
            Opt(0).SetFocus();
            // Renamed once the focus has left it: a reader would speak a
            // new name of the focused control.
            Lbl.setSpokenName(scene::chooserTextName());
            TimSay.setEnabled(platform::False);
            return Acted::kDone;

        case LineKind::kRepeat: {
            const auto parsed = scene::parseRepeatCount(platform::TextView(line).substr(2));
            if (parsed.status == scene::RepeatCount::kNotANumber)
                ContentError(platform::kTypeMismatch,
                             platform::fillIn(
                                 platform::trText("Scene",
                                                  "Type mismatch: the repeat count \"%1\" is not a "
                                                  "number"),
                                 {platform::toUtf8(line.substr(2))}),
                             lineNumber);
            if (parsed.status == scene::RepeatCount::kOverflow)
                ContentError(
                    platform::kOverflow,
                    platform::fillIn(
                        platform::trText("Scene", "Overflow: the repeat count \"%1\" is too large"),
                        {platform::toUtf8(line.substr(2))}),
                    lineNumber);
            Module.LoopI = parsed.value;
            count = std::min(parsed.value, kMaxRepeat);
            return Acted::kRepeat;
        }

        case LineKind::kTitle:
            Files.Close(FileNo);
            BackToTitle();
            return Acted::kDone;

        case LineKind::kEmpty:
            ShowSay(Text(), platform::True);
            pageFirstLine_ = 0;
            LineCount = 0;
            return Acted::kAgainAtOnce;

        case LineKind::kNewPage:
            LineCount = 0;
            break;

        case LineKind::kText:
            break;
    }

    Text base;
    if (Mark != kPageEndMark) {
        base = Lbl.Caption();
        if (Mark == kLineMark && !base.empty()) base.pop_back();
    }
    if (base.empty()) {
        pageFirstLine_ = lineNumber;
        pageFirstText_ = line;
    }
    if (scene::endsPageBefore(CurLine) || LineCount > 14) {
        Mark = kPageEndMark;
        TimSay.setEnabled(platform::False);
        LineCount = 0;
    } else {
        Mark = TimSay.Interval() != 0 ? Text() : kLineMark;
    }
    LineCount += 1;
    base += kLineBreak;
    base += line;
    base += Mark;
    ShowSay(base, platform::True);
    return Acted::kDone;
}
