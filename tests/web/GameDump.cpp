// Plays a game folder on the desktop backend the way the web tests play the
// web edition, and prints what a player sees at each step, so that the two
// can be compared line by line:
//
//   game_dump FOLDER STEP...     STEP: "box:月" (a click on a box) or
//                                "play:3" (a click on a scene button)
//
// The game first plays to the chooser; each "play" step then plays its scene
// to the chooser again (or through the title to the opening's chooser).
// Lines out, in order:
//   text "…"                every text the label shows, as JSON, each row a
//                           line ("\n"), once per step of the game
//   chooser boxes [月星] buttons [1 2x 6]
//                           the boxes ticked and the buttons shown, a
//                           played one marked x, whenever the chooser is open
//   error N "description" FILE   a run-time error, the game's folder in FILE
//                           written as GAME
// The clock is the test's: ticks of the text timer where it would advance,
// clicks on the text where the page rests, as a player clicks.

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Identity.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"
#include "scene/ScriptLine.h"
#include "support/GameFolder.h"

namespace {

const char* const kBoxes[] = {"月", "星", "森"};

std::string json(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04x", c);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

class Player {
  public:
    explicit Player(const std::string& folder)
        : folder_(folder), game_(platform::fromUtf8(folder)) {}

    void start() {
        game_.start();
        shown();
    }

    // Plays until the chooser opens: the timer ticks while it would advance,
    // and the text is clicked where the page rests.
    void toChooser() {
        Fom& f = *game_.fom;
        for (int step = 0; step < 10000; ++step) {
            if (f.PicCom.Visible()) {
                chooser();
                return;
            }
            if (f.TimSay.Enabled() && !scene::holdsTimer(f.CurLine))
                game_.tick(f.TimSay);
            else
                game_.click();
            shown();
        }
        std::fprintf(stderr, "game_dump: the chooser never opened\n");
        std::exit(1);
    }

    void box(const std::string& name) {
        Fom& f = *game_.fom;
        for (int i = 0; i < 3; ++i)
            if (name == kBoxes[i]) f.Opt(i).clickAsPlayer();
        chooser();
    }

    void play(int button) {
        game_.fom->Com(button).clickAsPlayer();
        shown();
        toChooser();
    }

    void error(const platform::RuntimeError& e) {
        std::string file = e.file();
        if (file.compare(0, folder_.size(), folder_) == 0)
            file = "GAME" + file.substr(folder_.size());
        std::printf("error %d %s %s\n", e.number(), json(e.description()).c_str(), file.c_str());
    }

  private:
    void shown() {
        std::string rows;
        const std::string caption = platform::toUtf8(game_.fom->Lbl.Caption());
        for (std::size_t i = 0; i < caption.size(); ++i) {
            if (caption[i] == '\r') {
                if (i + 1 < caption.size() && caption[i + 1] == '\n') ++i;
                rows += '\n';
            } else {
                rows += caption[i];
            }
        }
        if (rows == last_) return;
        last_ = rows;
        std::printf("text %s\n", json(rows).c_str());
    }

    void chooser() {
        Fom& f = *game_.fom;
        std::string ticked, buttons;
        for (int i = 0; i < 3; ++i)
            if (f.Opt(i).Value() == 1) ticked += kBoxes[i];
        for (int i = 0; i <= f.Com.UBound(); ++i) {
            if (!f.Com(i).Visible()) continue;
            if (!buttons.empty()) buttons += ' ';
            buttons += std::to_string(i) + (f.Com(i).Enabled() ? "" : "x");
        }
        std::printf("chooser boxes [%s] buttons [%s]\n", ticked.c_str(), buttons.c_str());
    }

    std::string folder_;
    TestGame game_;
    std::string last_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: game_dump FOLDER [box:NAME|play:N]...\n");
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: game_dump FOLDER [box:NAME|play:N]...\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    introduceGame();
    // Messages in the session's language, as the program speaks them.
    platform::useSessionLanguage();
    Player player(argv[1]);
    try {
        player.start();
        player.toChooser();
        for (int i = 2; i < argc; ++i) {
            const std::string step = argv[i];
            if (step.rfind("box:", 0) == 0) {
                player.box(step.substr(4));
            } else if (step.rfind("play:", 0) == 0) {
                player.play(std::stoi(step.substr(5)));
            } else {
                std::fprintf(stderr, "game_dump: no step %s\n", step.c_str());
                return 2;
            }
        }
    } catch (const platform::RuntimeError& e) {
        player.error(e);
    }
    std::fflush(stdout);
    return 0;
}
