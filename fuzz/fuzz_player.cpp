// Fuzz target: the real scene player in the real window (Qt's offscreen
// platform), driven by a random script and a random sequence of player
// actions and ticks.
//
// Input: <script bytes> "|EV|" <event bytes>. The script (at most 4 KiB) is
// written as txt/opn.txt, and every numbered scene's script (txt/0.txt to
// txt/7.txt) is a link to it; every scene has a tiny GIF. Without the marker
// the whole input is the script and a fixed round of events follows. At most
// 200 events; each byte is one event, its low 3 bits the kind:
//   0, 7  a tick of TimSay (if it runs)
//   1, 6  a click on the label
//   2     a click on check box (b >> 3) % 3, if the player can see it
//   3     a click on scene button (b >> 3) % 8, if the player can see it
//         (field open, button shown; a disabled one ignores the click)
//   4     a tick of TimPic (the buttons wander)
//   5     the clock moves on by ((b >> 3) * 10 + 1) ms, every timer ticking
// After the start and after every event these must hold:
// - LineCount is never above 15;
// - the label's caption holds at most one prompt mark (▼ or ▽);
// - the chooser (PicCom) is open only while the script is closed;
// - no other script than FileNo's is open.
// At the end the label is painted once (its caption is laid out only then).
// A run-time error (content that stops the game with a message) is an
// allowed end of an input. A script that holds a mark character itself is
// skipped, since the label would then show it as text. Each input gets a
// fresh window, so that every run can be replayed from its input alone.

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <QStyleFactory>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "app/Fom.h"
#include "app/Identity.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/media/MediaCommands.h"
#include "platform/system/Dispatch.h"
#include "platform/system/Errors.h"
#include "platform/system/Files.h"
#include "platform/system/Program.h"
#include "platform/system/Random.h"
#include "platform/system/Timer.h"

namespace {

constexpr std::size_t kMaxScript = 4096;
constexpr std::size_t kMaxEvents = 200;
constexpr std::string_view kMarker = "|EV|";
constexpr char kDefaultEvents[] =
    "\x01\x00\x00\x01\x00\x01\x01\x02\x0a\x12\x03\x0b\x13\x1b\x23\x2b\x33\x3b\x01\x00"
    "\x04\x05\x01\x00\x01\x02\x0a\x12\x02\x0a\x12\x03\x0b\x13\x1b\x23\x2b\x33\x3b\x01";

// green-40x30.gif of tests/data: a 40 x 30 picture in one colour.
constexpr unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x28, 0x00, 0x1e, 0x00, 0xf0, 0x00, 0x00, 0x00, 0xff,
    0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
    0x00, 0x00, 0x28, 0x00, 0x1e, 0x00, 0x00, 0x02, 0x21, 0x84, 0x8f, 0xa9, 0xcb, 0xed, 0x0f,
    0xa3, 0x9c, 0xb4, 0xda, 0x8b, 0xb3, 0xde, 0xbc, 0xfb, 0x0f, 0x86, 0xe2, 0x48, 0x96, 0xe6,
    0x89, 0xa6, 0xea, 0xca, 0xb6, 0xee, 0x0b, 0xc7, 0xf2, 0x4c, 0x73, 0x05, 0x00, 0x3b};

const char* const kScenes[] = {"opn", "0", "1", "2", "3", "4", "5", "6", "7"};

// Numbers from a fixed seed: the clock is never asked, so a run replays.
class SeededRandom final : public platform::RandomSource {
  public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
    void Randomize() override {}
    float Rnd() override { return engine_.Rnd(); }

  private:
    platform::MersenneRandom engine_;
};

std::string gFolder;
platform::Cp932Decoder* gDecoder = nullptr;

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

std::size_t marks(const platform::Text& text) {
    std::size_t n = 0;
    for (const char16_t c : text) n += (c == u'\u25BC' || c == u'\u25BD');
    return n;
}

void checkInvariants(const Fom& f) {
    FUZZ_CHECK(f.LineCount <= 15);
    FUZZ_CHECK(marks(f.Lbl.Caption()) <= 1);
    if (f.PicCom.Visible() != platform::False) FUZZ_CHECK(!f.Files.isOpen(f.FileNo));
    for (std::int16_t n = 1; n <= 4; ++n)
        if (n != f.FileNo) FUZZ_CHECK(!f.Files.isOpen(n));
}

void trace(const Fom& f, const char* what) {
    if (!fuzz::tracing()) return;
    std::string rows = platform::toUtf8(f.Lbl.Caption());
    for (std::size_t i; (i = rows.find("\r\n")) != std::string::npos;) rows.replace(i, 2, " / ");
    std::fprintf(stderr, "%-14s lines %2d  timer %-3s  chooser %-6s script %-6s  [%s]\n", what,
                 f.LineCount, f.TimSay.Enabled() ? "on" : "off",
                 f.PicCom.Visible() ? "open" : "closed",
                 f.Files.isOpen(f.FileNo) ? "open" : "closed", rows.c_str());
}

const char* eventName(std::uint8_t b) {
    static const char* const names[] = {"tick TimSay", "click Lbl", "click Opt", "click Com",
                                        "tick TimPic", "advance",   "click Lbl", "tick TimSay"};
    return names[b & 7];
}

void runEvent(Fom& f, platform::ManualTimerHost& timers, std::uint8_t b) {
    const int arg = b >> 3;
    switch (b & 7) {
        case 0:
        case 7:
            timers.fire(f.TimSay);
            break;
        case 1:
        case 6:
            if (f.Lbl.Visible() != platform::False) f.Lbl.raiseClick();
            break;
        case 2: {
            auto& box = f.Opt(arg % 3);
            if (box.Visible() != platform::False) box.clickAsPlayer();
            break;
        }
        case 3: {
            auto& button = f.Com(arg % 8);
            if (f.PicCom.Visible() != platform::False && button.Visible() != platform::False)
                button.clickAsPlayer();
            break;
        }
        case 4:
            timers.fire(f.TimPic);
            break;
        case 5:
            timers.advance(arg * 10 + 1);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt keeps argc by reference and may edit argv: give it its own.
    static int argc = 1;
    static char name[] = "fuzz_player";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole run
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    introduceGame();

    gFolder = fuzz::scratchFolder("pirokko-fuzz-player");
    for (const char* sub : {"/txt", "/img"}) FUZZ_CHECK(mkdir((gFolder + sub).c_str(), 0700) == 0);
    const std::string_view gif(reinterpret_cast<const char*>(kGif), sizeof kGif);
    for (const char* scene : kScenes) {
        writeFile(gFolder + "/img/" + scene + ".gif", gif);
        // Every numbered scene plays the input's script too: one file to
        // write per input.
        if (std::string_view(scene) != "opn")
            FUZZ_CHECK(symlink("opn.txt", (gFolder + "/txt/" + scene + ".txt").c_str()) == 0);
    }
    gDecoder = new platform::Cp932Decoder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t at = input.find(kMarker);
    std::string_view script = input.substr(0, at);
    std::string_view events = at == std::string_view::npos
                                  ? std::string_view(kDefaultEvents, sizeof kDefaultEvents - 1)
                                  : input.substr(at + kMarker.size());
    if (script.size() > kMaxScript) return -1;
    if (events.size() > kMaxEvents) events = events.substr(0, kMaxEvents);
    // CR and LF never take part in a multi-byte character, so the script's
    // characters are those of its lines.
    if (marks(gDecoder->decode(script)) > 0) return -1;

    writeFile(gFolder + "/txt/opn.txt", script);  // the others link to it

    platform::Dispatcher::reset();
    platform::ManualTimerHost timers;
    SeededRandom random(static_cast<std::uint32_t>(size));
    platform::NoMediaDevice media;
    try {
        Fom f(FomServices{timers, random, media, platform::fromUtf8(gFolder)});
        f.Show();
        trace(f, "start");
        checkInvariants(f);
        for (const char e : events) {
            const auto b = static_cast<std::uint8_t>(e);
            runEvent(f, timers, b);
            trace(f, eventName(b));
            checkInvariants(f);
        }
        // The label lays its caption out only when painted: paint it once,
        // as it stands at the end.
        platform::widgetOf(f.Lbl)->grab();
    } catch (const platform::RuntimeError& e) {
        // Bad content stops the game with a message: an allowed outcome.
        if (fuzz::tracing()) std::fprintf(stderr, "run-time error: %s\n", e.what());
    }
    platform::Dispatcher::reset();
    return 0;
}
