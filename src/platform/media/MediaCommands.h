#pragma once
// The media command-string interface: text commands such as
// `open "<path>" alias MIDI` or `status MIDI mode` sent to a media layer that
// answers with 0 or an error code and, for queries, a reply text.

#include <cstdint>

namespace platform {

class MediaCommands {
  public:
    virtual ~MediaCommands() = default;

    // `command` is narrow text (UTF-8 on this system). `reply` may be null;
    // when it is not, at most `replyLength` characters are written to it,
    // the terminating null character included.
    // `callback` is a window handle for notifications; 0 means none.
    virtual std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                        std::intptr_t callback) = 0;
};

// A media layer with no device behind it: every command fails as "no
// device", and a reply is left empty. For showing the window without sound.
class NoMediaDevice final : public MediaCommands {
  public:
    std::int32_t mciSendStringA(const char*, char* reply, std::uint32_t replyLength,
                                std::intptr_t) override {
        if (reply && replyLength > 0) reply[0] = '\0';
        return kNoDevice;
    }
    static constexpr std::int32_t kNoDevice = 263;
};

}  // namespace platform
