#include "shared/Music.h"

#include <string>

#include "platform/system/Text.h"

namespace {

constexpr std::int16_t kOn = -1;

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void 共用関数::BgmOpen(const platform::Text& path) {
    BgmResult = Media.mciSendStringA("close MIDI notify", nullptr, 0, 0);
    const std::string command = "open \"" + platform::toUtf8(path) + "\" alias MIDI";
    BgmResult = Media.mciSendStringA(command.c_str(), nullptr, 0, 0);
}

void 共用関数::BgmClose() {
    BgmResult = Media.mciSendStringA("close MIDI notify", nullptr, 0, 0);
}

void 共用関数::BgmPlay() {
    if (BgmOn == kOn) BgmResult = Media.mciSendStringA("play MIDI notify", nullptr, 0, 0);
}

void PollBgm(共用関数& module) {
    // A text of 15 + 1 blanks; the reply length given is 15.
    char reply[16];
    for (char& c : reply) c = ' ';
    (void)module.Media.mciSendStringA("status MIDI mode", reply, 15, 0);

    // The first 7 characters in upper case. The media layer's mode words are
    // ASCII, so the narrow characters are those of the text converted back.
    static constexpr char kStopped[] = "STOPPED";
    bool stopped = true;
    for (int i = 0; i < 7; ++i) {
        if (asciiUpper(reply[i]) != kStopped[i]) stopped = false;
    }
    if (stopped && module.BgmOn == kOn) {
        module.BgmResult = module.Media.mciSendStringA("seek MIDI to start", nullptr, 0, 0);
        module.BgmResult = module.Media.mciSendStringA("play MIDI from 0", nullptr, 0, 0);
    }
}
