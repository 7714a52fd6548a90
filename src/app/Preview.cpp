// The author's preview: the game starts at the scene being worked on, follows
// the game's files as they are saved, and shows a run-time error in the label
// until the next save fixes it. Everything it shows is played by the scene
// player's own handlers, as a player's clicks and the timer's ticks would.

#include "app/Preview.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "app/GameFolder.h"
#include "app/LabelDesign.h"
#include "platform/form/LabelLayout.h"
#include "platform/system/Errors.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Files.h"
#include "platform/system/Language.h"
#include "platform/system/Program.h"
#include "scene/ScriptBytes.h"
#include "scene/ScriptLine.h"

using platform::Text;

namespace {

// The line of the script at `path` that reads `text`, the one nearest
// `line` (the earlier of two as near); `line` itself when none does.
std::int64_t findLine(const std::string& path, const Text& text, std::int64_t line) {
    const auto reader = platform::LineReader::open(path);
    if (!reader) return line;
    platform::Cp932Decoder decoder;
    std::int64_t found = 0;
    std::int64_t distance = INT64_MAX;
    for (std::int64_t n = 1; !reader->atEnd() && n - line < distance; ++n) {
        const std::int64_t d = n < line ? line - n : n - line;
        if (decoder.decode(reader->next()) == text && d < distance) {
            found = n;
            distance = d;
        }
    }
    return found > 0 ? found : line;
}

}  // namespace

PreviewState::PreviewState(Fom& fom, PreviewRequest start) : start(std::move(start)) {
    earlierPolicy_ = platform::Dispatcher::setFaultHandler([&fom](const platform::RuntimeError& e) {
        fom.ShowWaitingFault(e);
        return platform::Dispatcher::AfterFault::kGoOn;
    });
}

PreviewState::~PreviewState() {
    platform::Dispatcher::setFaultHandler(std::move(earlierPolicy_));
}

void Fom::PlayPreview(const PreviewRequest& request) {
    // The command line has refused anything else already.
    if (!game_folder::isSceneName(request.scene) || request.line < 0)
        throw std::invalid_argument("no such scene or line");
    preview_ = std::make_unique<PreviewState>(*this, request);
}

void Fom::StartPreview() {
    preview_->started = true;
    // Followed before anything is read, so that a file that fails now is
    // seen when it is saved again.
    std::vector<Text> files{MusicFile()};
    for (const Text& name : game_folder::sceneNames()) {
        files.push_back(ScriptFile(name));
        files.push_back(PictureFile(name));
    }
    Watch.follow(files);

    const PreviewRequest start = preview_->start;
    preview_->bringing = PagePlace{start.scene, start.line, std::nullopt};
    // As if the player had just chosen the scene in a new game.
    EnterTitleState();
    if (start.scene == game_folder::kOpening)
        StartScene(game_folder::kOpening);
    else
        Com_Click(static_cast<std::int16_t>(start.scene[0] - u'0'));
    PlayOnTo(start.line);
    preview_->bringing.reset();
}

void Fom::Watch_Change(const std::vector<Text>& changed) {
    if (!preview_) return;
    const auto has = [&changed](const Text& path) {
        return std::find(changed.begin(), changed.end(), path) != changed.end();
    };
    if (has(MusicFile())) {
        // A file that is gone opens nothing, and the music stops.
        Module.BgmOpen(MusicFile());
        Module.BgmPlay();
    }
    if (preview_->waiting) {
        BringBack(*std::exchange(preview_->waiting, std::nullopt));
    } else if (has(ScriptFile(sceneName_))) {
        // The chooser keeps its boxes and played buttons; only the scene
        // starts again.
        BringBack({sceneName_, pageFirstLine_,
                   pageFirstLine_ > 0 ? std::optional<Text>(pageFirstText_) : std::nullopt});
    } else if (has(PictureFile(sceneName_))) {
        ShowScenePic(sceneName_);
    }
}

void Fom::BringBack(const PagePlace& place) {
    preview_->bringing = place;
    // The scene starts again while its script is open; the start takes the
    // next free file number, and the old one would stay open (on a file
    // that the save may have deleted) until the program ends.
    if (Files.isOpen(FileNo)) Files.Close(FileNo);
    // Lines added or taken away above the page move it: it is found by its
    // text, and by its number only once that text is gone.
    const std::int64_t line =
        place.text && place.line > 0
            ? findLine(platform::toUtf8(ScriptFile(place.scene)), *place.text, place.line)
            : place.line;
    StartScene(place.scene);
    PlayOnTo(line);
    preview_->bringing.reset();
}

void Fom::ReadingScript(const Text& path) const {
    if (!preview_) return;
    const std::string file = platform::toUtf8(path);
    scene::ScriptBytes form;
    // A script that cannot be read is named by the open that follows.
    if (!platform::readInPieces(file, [&form](std::string_view piece) { form.add(piece); })) return;
    form.finish();
    std::string what;
    std::int64_t line = 1;
    if (form.utf8()) {
        what = platform::trText("Preview",
                                "The script is saved as UTF-8, but the game reads code page 932 "
                                "(Shift_JIS): its Japanese text would show garbled.");
        line = form.firstNonAsciiLine();
    } else if (form.lineFeedEnds()) {
        what = platform::trText("Preview",
                                "The script's lines end in LF alone, as Linux editors save them: "
                                "the game would show the whole script as one page.");
    } else if (form.doubledEnds()) {
        what = platform::trText("Preview",
                                "Every line of the script ends in CR CR LF (its line ends were "
                                "converted twice): the game would show each line as a page of its "
                                "own.");
    } else if (form.firstUndecodableLine() > 0) {
        throw platform::RuntimeError(
            platform::kInvalidFileFormat,
            platform::trText("Preview",
                             "This line holds bytes that are not code page 932 text: the game "
                             "would show \"\uFFFD\" in their place. Correct them; pirokko-check "
                             "lists every such place."),
            file + ":" + std::to_string(form.firstUndecodableLine()) + ":" +
                std::to_string(form.firstUndecodableColumn()));
    } else {
        return;
    }
    Text folder = BasePath;
    if (folder.size() > 1) folder.pop_back();
    throw platform::RuntimeError(
        platform::kInvalidFileFormat,
        what + " " +
            platform::fillIn(platform::trText("Preview", "Convert it with: pirokko-check --fix %1"),
                             {platform::toUtf8(folder)}),
        file + ":" + std::to_string(line));
}

// Clicks each time the page has come to rest and ticks while it rolls, with
// no delay in between, until the page holding `line` is complete. A player
// who clicked through would see the same page, with the timer in the same
// state, so that play goes on from there as usual.
void Fom::PlayOnTo(std::int64_t line) {
    if (line <= 0) return;
    const std::uint64_t titleReturns = titleReturns_;
    for (;;) {
        // The scene may end or return to the title before it gets there.
        if (PicCom.Visible() || titleReturns_ != titleReturns || !Files.isOpen(FileNo)) return;
        const bool resting = !TimSay.Enabled() || scene::holdsTimer(CurLine);
        const bool pageComplete = Lbl.Caption().ends_with(scene::kPageEndMark);
        // A file now shorter than the line plays on as far as it goes.
        const bool lineLeft = curLineNumber_ > actedLine_;
        if ((actedLine_ >= line || !lineLeft) && (resting || pageComplete)) return;
        const std::int64_t before = actedLine_;
        if (resting)
            Lbl_Click();
        else
            TimSay_Timer();
        // Every click or tick acts on a further line; should one ever not,
        // the loop must stop rather than spin.
        if (actedLine_ <= before && !PicCom.Visible() && titleReturns_ == titleReturns)
            ContentError(platform::kEndlessLoop,
                         platform::fillIn(
                             platform::trText("Preview", "The scene does not play on to line %1"),
                             {std::to_string(line)}),
                         0);
    }
}

void Fom::ShowWaitingFault(const platform::RuntimeError& error) {
    platform::printFault(error);
    // What the next save tries again: the page being brought to the screen,
    // or else the one that play was moving on to.
    preview_->waiting =
        preview_->bringing ? *preview_->bringing : PagePlace{sceneName_, actedLine_, std::nullopt};
    preview_->bringing.reset();
    // With the script closed, no click or tick plays on from a page that
    // failed halfway.
    if (Files.isOpen(FileNo)) Files.Close(FileNo);
    TimSay.setEnabled(platform::False);
    // Rows as wide as the label would lose their first characters off the
    // window's edge.
    const Text message =
        platform::fromUtf8(error.what()) + u"\n\n" +
        platform::fromUtf8(platform::trText(
            "Preview", "The preview tries again when a file of the game is saved."));
    ShowSay(platform::breakRows(message, fom_design::kLabelFace, fom_design::kLabelPoints,
                                fom_design::kLabelVisibleWidthPx),
            platform::True);
    Lbl.announceCaption();
}
