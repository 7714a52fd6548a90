#pragma once
// The media command-string layer of the page.

#include "platform/media/MediaCommands.h"

namespace platform {

class WebMedia final : public MediaCommands {
  public:
    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callback) override;
    // The player's first gesture: the page may make sound from now on.
    void playerGestured();
};

}  // namespace platform
