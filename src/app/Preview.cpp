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
#include "platform/system/Language.h"
#include "platform/system/Program.h"
#include "scene/ScriptLine.h"

using platform::Text;

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
    preview_->bringing = start;
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
        BringBack({sceneName_, pageFirstLine_});
    } else if (has(PictureFile(sceneName_))) {
        ShowScenePic(sceneName_);
    }
}

void Fom::BringBack(const PreviewRequest& place) {
    preview_->bringing = place;
    // The scene starts again while its script is open; the start takes the
    // next free file number, and the old one would stay open (on a file
    // that the save may have deleted) until the program ends.
    if (Files.isOpen(FileNo)) Files.Close(FileNo);
    StartScene(place.scene);
    PlayOnTo(place.line);
    preview_->bringing.reset();
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
        preview_->bringing ? *preview_->bringing : PreviewRequest{sceneName_, actedLine_};
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
