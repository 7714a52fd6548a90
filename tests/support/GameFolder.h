#pragma once
// A throw-away program folder with its own txt/ and img/, and a window
// playing from it under a manual clock.

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/Fom.h"
#include "platform/system/Timer.h"
#include "support/Fakes.h"

std::string testDataPath(const std::string& name);

// Encodes UTF-8 text as code page 932 bytes.
std::string cp932(const std::string& utf8);
// A script's bytes: UTF-8 lines encoded in code page 932, each followed by CR LF.
std::string scriptBytes(const std::vector<std::string>& lines);

class GameFolder {
  public:
    GameFolder();

    const std::string& path() const { return path_; }
    // Writes txt/<name>.txt from UTF-8 lines, encoded in code page 932, each
    // line followed by CR LF.
    void script(const std::string& name, const std::vector<std::string>& lines);
    void rawScript(const std::string& name, const std::string& bytes);
    // Copies a test picture to img/<name>.gif.
    void picture(const std::string& name, const std::string& dataFile = "green-40x30.gif");
    void remove(const std::string& relativePath);

    // The ways editors save a file: writing it in place, writing a new file
    // and renaming it over the old one (a new inode), or deleting the old one
    // and creating it again.
    enum class Save { kInPlace, kRenameOver, kDeleteAndCreate };
    void save(const std::string& relativePath, const std::string& bytes, Save how);

  private:
    QTemporaryDir dir_;
    std::string path_;
};

// Lets `watch` hear of what was saved (events processed until it notices,
// within a bound), then ends its quiet period at once. False if it noticed
// nothing.
bool settle(platform::FileWatch& watch, platform::ManualTimerHost& timers);

// A window over a game folder, with time, chance and sound in the test's hands.
struct TestGame {
    explicit TestGame(const GameFolder& folder);
    explicit TestGame(platform::Text gameFolder);
    ~TestGame();

    // Load and activate, as the program does when it starts.
    void start();
    void tick(platform::Timer& timer) { timers.fire(timer); }
    void click() { fom->Lbl.raiseClick(); }
    // The window's file watch hears of what was saved (see settle()).
    bool filesSettle() { return settle(fom->Watch, timers); }

    // The label's text with each CR LF shown as "/" and a lone LF (a row
    // break inside a line) as "|": a page's first row is blank, so a page of
    // A and B reads "/A/B".
    std::string label() const;

    platform::ManualTimerHost timers;
    ScriptedRandom random;
    RecordingMedia media;
    std::unique_ptr<Fom> fom;
};

std::string utf8(const platform::Text& text);

// The notification the label shows while its page rests: what it announced,
// rows joined by "/".
std::string announced(const platform::Control& label);
