#pragma once
// The media command-string layer of the page: the interpreter of the
// commands (see MciCommand.h) over devices that play the site's wave files
// through Web Audio (WebSound), streamed as they play (StreamedWave).
//
// Opening answers at once: the file's head was fetched before the game
// started (prefetchStreamedFile), and the open checks it as the desktop's
// does, with the same codes for a missing or broken file. Everything runs
// on the page's one thread; nothing ever waits for the network or the sound.

#include <memory>
#include <string_view>
#include <vector>

#include "platform/media/MediaCommands.h"

namespace platform {

class WebSound;

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

  private:
    WebSound* find(std::string_view alias);
    std::int32_t open(std::string_view path, std::string_view alias);

    std::vector<std::unique_ptr<WebSound>> devices_;
};

}  // namespace platform
