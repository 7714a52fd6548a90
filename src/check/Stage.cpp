#include "check/Stage.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/Fom.h"
#include "app/GameFolder.h"
#include "app/LabelDesign.h"
#include "platform/form/LabelLayout.h"
#include "platform/system/Dispatch.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"
#include "platform/system/Random.h"
#include "platform/system/Timer.h"
#include "scene/ScriptLine.h"

namespace check {

using platform::Text;
using scene::LineKind;

namespace {

// One black pixel: what every scene shows while its pages are played.
constexpr unsigned char kBlankGif[] = {'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01,
                                       0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                       0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                       0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pirokko-check-XXXXXX");
        if (!mkdtemp(pattern.data()))
            throw std::filesystem::filesystem_error(
                "cannot make a scratch folder", pattern,
                std::error_code(errno, std::generic_category()));
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

const int kLabelWidthPx =
    static_cast<int>(std::lround(fom_design::kLabelTwips.width / platform::kTwipsPerPixel));
const int kLabelHeightPx =
    static_cast<int>(std::lround(fom_design::kLabelTwips.height / platform::kTwipsPerPixel));

// How many rows of a page the label shows, its blank first row left out:
// what an author counts.
std::size_t visibleRows() {
    Text page;
    for (int i = 0; i < 40; ++i) page += u"\r\nL";
    const auto fit = platform::fitCaption(page, fom_design::kLabelFace, fom_design::kLabelPoints,
                                          kLabelWidthPx, kLabelHeightPx);
    return fit.fits() ? 40 : fit.firstCutRow - 1;
}

// Index of the look-ahead line; the line count once the end of the file
// stands in for it.
std::size_t lookAheadOf(Fom& fom, const std::vector<Text>& lines) {
    const auto read = static_cast<std::size_t>(fom.Files.lineNumberOf(fom.FileNo));
    if (read == lines.size() && fom.CurLine != lines.back()) return read;
    return read > 0 ? read - 1 : 0;
}

// Index of the line that ends the scene at a chooser, searching from `from`.
std::size_t chooserLine(const std::vector<Text>& lines, std::size_t from) {
    while (from < lines.size() && scene::classify(lines[from]) != LineKind::kChooser) ++from;
    return from;
}

// Lays out the label's page as the label does. When it is cut off, finds the
// script line of the first row lost: the caption holds a blank row, then one
// line per line shown on the page (CR LF between them), the latest being the
// last line shown before `before`. A lone LF or CR inside a line is a row of
// the layout but not a line of the page.
void measure(const Text& caption, const std::vector<Text>& lines, std::size_t before,
             std::map<std::size_t, std::size_t>& cuts) {
    const auto fit = platform::fitCaption(caption, fom_design::kLabelFace, fom_design::kLabelPoints,
                                          kLabelWidthPx, kLabelHeightPx);
    if (fit.fits()) return;
    std::size_t rows = 1;  // lines of the page, the blank one included
    std::size_t cutRow = 0;
    std::size_t layoutRow = 0;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'\r' && caption[i] != u'\n') continue;
        const bool lineEnd = caption.compare(i, 2, u"\r\n") == 0;
        i += lineEnd ? 1 : 0;
        if (lineEnd) ++rows;
        if (++layoutRow == fit.firstCutRow) cutRow = rows - 1;
    }
    if (rows < 2) return;
    cutRow = std::clamp<std::size_t>(cutRow, 1, rows - 1);
    std::size_t later = rows - 1 - cutRow;
    for (std::size_t i = std::min(before, lines.size()); i-- > 0;) {
        const LineKind kind = scene::classify(lines[i]);
        // A repeat line shows nothing and leaves the page as it is.
        if (kind == LineKind::kRepeat) continue;
        if (kind != LineKind::kText && kind != LineKind::kNewPage) return;
        if (later > 0) {
            --later;
            continue;
        }
        // The page grows click by click; keep the count of its last state.
        std::size_t& lost = cuts[i];
        lost = std::max(lost, rows - cutRow);
        return;
    }
}

}  // namespace

struct Stage::Impl {
    // No tick ever falls due: the scenes advance by clicks alone, which show
    // the same pages as the timer would.
    platform::ManualTimerHost timers;
    platform::MersenneRandom random;
    // The music is checked on its own; the window plays in silence.
    platform::NoMediaDevice media;
    ScratchFolder pictures;
    std::unique_ptr<Fom> fom;
};

Stage::Stage(const std::string& folder) : impl_(std::make_unique<Impl>()) {
    platform::Dispatcher::reset();
    impl_->fom = std::make_unique<Fom>(
        FomServices{impl_->timers, impl_->random, impl_->media, platform::fromUtf8(folder)});
    Fom& fom = *impl_->fom;
    fom.Form_Load();
    for (const Text& name : game_folder::sceneNames()) {
        std::ofstream(impl_->pictures.path() / platform::toUtf8(name + game_folder::kPictureSuffix),
                      std::ios::binary)
            .write(reinterpret_cast<const char*>(kBlankGif), sizeof kBlankGif);
    }
    fom.ImgPath = platform::fromUtf8(impl_->pictures.path().string()) + u'/';
}

Stage::~Stage() = default;

void Stage::checkPages(const Text& scene, const std::vector<Text>& lines, const std::string& file,
                       std::vector<Finding>& out) {
    Fom& fom = *impl_->fom;
    // A scene that stopped with an error leaves its script open.
    if (fom.Files.isOpen(fom.FileNo)) fom.Files.Close(fom.FileNo);
    // The title state enables every scene button: a button disabled here
    // tells when the scene has returned to the title, after which the label
    // shows the opening scene.
    platform::CommandButton& titleSign = fom.Com(0);
    titleSign.setEnabled(platform::False);

    std::map<std::size_t, std::size_t> cuts;  // first line lost on a page -> rows lost
    try {
        std::size_t lookAhead = 0;
        fom.StartScene(scene);
        for (std::size_t clicks = 0; titleSign.Enabled() == platform::False; ++clicks) {
            if (fom.PicCom.Visible() == platform::True) {
                // The click that opened the chooser acted on its line last.
                measure(fom.Lbl.Caption(), lines, chooserLine(lines, lookAhead), cuts);
                break;
            }
            lookAhead = lookAheadOf(fom, lines);
            measure(fom.Lbl.Caption(), lines, lookAhead, cuts);
            // Every click acts on at least one line.
            if (clicks > lines.size()) break;
            fom.Lbl.raiseClick();
        }
    } catch (const platform::RuntimeError&) {
        // The walk over the script says why the game stops; the pages shown
        // until then have been checked.
    }

    const std::string rows = std::to_string(visibleRows());
    for (const auto& [index, lost] : cuts) {
        out.push_back(
            {file, static_cast<long long>(index) + 1, 0, Severity::kWarning,
             lost == 1
                 ? platform::fillIn(platform::trText("Check",
                                                     "the window shows only the first %1 rows of "
                                                     "a page: this line falls below them and is "
                                                     "not seen"),
                                    {rows})
             : lost == 2
                 ? platform::fillIn(
                       platform::trText("Check",
                                        "the window shows only the first %1 rows of "
                                        "a page: this line and the 1 line after it "
                                        "on its page fall below them and are not seen"),
                       {rows})
                 : platform::fillIn(
                       platform::trText("Check",
                                        "the window shows only the first %1 rows of a page: this "
                                        "line and the %2 lines after it on its page fall below "
                                        "them and are not seen"),
                       {rows, std::to_string(lost - 1)})});
    }
}

}  // namespace check
