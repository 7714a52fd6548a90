#pragma once
// The media command-string layer of the page: the interpreter of the
// commands (see MciCommand.h) over devices that play the site's wave files
// through Web Audio (WebSound), streamed as they play (StreamedWave).
//
// An open checks the file's head as the desktop's open checks the file, with
// the same codes for a missing or broken file; the head is fetched while the
// engine loads (prefetchStreamedFile). The game opens its music as it
// starts, though, and nothing can be heard before the player's first gesture
// anyway: so an open made before the game's first line is on the screen, or
// before the head has come, waits for both. A device that waits takes the
// game's play, seek and close in order, and answers them and a status as a
// device opened from a sound file does; once it opens, what it took is done
// in order. Should the file then prove missing or broken, the device is
// gone, as it would have been from the start, and the game, which only ever
// asks whether its music has stopped, goes on silently either way.
//
// Everything runs on the page's one thread; nothing ever waits for the
// network or the sound.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/media/MediaCommands.h"

namespace platform {

class WebSound;
struct MciCommand;
struct StreamedFile;

class WebMedia final : public MediaCommands {
  public:
    WebMedia();
    ~WebMedia() override;
    WebMedia(const WebMedia&) = delete;
    WebMedia& operator=(const WebMedia&) = delete;

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callback) override;
    // The player's first gesture: the page may make sound from now on.
    void playerGestured();
    // The game's first line is on the screen.
    void lineShown();
    // The game has ended: every device closes, and none that waits opens.
    void closeAll();
    // Opens the devices whose files' heads have come, once the first line is
    // on the screen.
    void openWaiting();
    // A command from outside the game (to look at the layer), which sees
    // what the game will see: nothing waits for the first line for it.
    std::int32_t commandFromOutside(const char* command, char* reply, std::uint32_t replyLength);

  private:
    // An open made too soon, and what the game asked of it since.
    struct Waiting {
        std::string alias;
        const StreamedFile* file;  // prefetched, its head perhaps not yet in
        std::vector<std::string> commands;
        bool playing;  // as a status tells it
    };

    WebSound* find(std::string_view alias);
    Waiting* findWaiting(std::string_view alias);
    std::int32_t open(std::string_view path, std::string_view alias);
    std::int32_t openNow(const StreamedFile& file, std::string_view alias);
    // Whether an open whose file's head has come opens now: once the first
    // line is shown, or for a look from outside.
    bool mayOpen() const { return lineShown_ || outside_; }
    std::int32_t takeWhileWaiting(Waiting& device, const MciCommand& cmd, std::string_view text,
                                  char* reply, std::uint32_t replyLength);

    std::vector<std::unique_ptr<WebSound>> devices_;
    std::vector<Waiting> waiting_;
    bool lineShown_ = false;
    bool outside_ = false;  // in commandFromOutside
};

// The page's media layer, when the game has one: for the page's calls and
// the program's end and gestures (system/Program.cpp).
WebMedia* currentMedia();

}  // namespace platform
