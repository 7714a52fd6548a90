#include "platform/web/media/WebMedia.h"

#include <emscripten.h>

#include <string>

#include "platform/common/MciCommand.h"
#include "platform/web/media/AudioPage.h"
#include "platform/web/media/StreamedFiles.h"
#include "platform/web/media/StreamedWave.h"
#include "platform/web/media/WebSound.h"

namespace platform {

namespace {
// The page's one media layer, for pk_media_command.
WebMedia* current = nullptr;
}  // namespace

WebMedia::WebMedia() {
    current = this;
}

WebMedia::~WebMedia() {
    if (current == this) current = nullptr;
}

WebSound* WebMedia::find(std::string_view alias) {
    for (const auto& d : devices_) {
        if (equalsIgnoringCase(d->alias(), alias)) return d.get();
    }
    return nullptr;
}

std::int32_t WebMedia::open(std::string_view path, std::string_view alias) {
    if (find(alias) != nullptr) return mci::kDuplicateAlias;
    // Only what was fetched before the game started is on the page.
    const StreamedFile* file = findStreamedFile(path);
    if (file == nullptr) return mci::kFileNotFound;
    std::unique_ptr<StreamedWave> wave;
    if (const auto rc = StreamedWave::open(*file, wave); rc != mci::kOk) return rc;
    devices_.push_back(std::make_unique<WebSound>(std::string(alias), std::move(wave)));
    return mci::kOk;
}

std::int32_t WebMedia::mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                      std::intptr_t /*callback*/) {
    // No notification is ever delivered, as on the desktop.
    if (reply != nullptr && replyLength > 0) reply[0] = '\0';
    if (command == nullptr) return mci::kMissingCommandString;
    MciCommand cmd;
    if (const auto rc = parseMciCommand(command, cmd); rc != mci::kOk) return rc;
    if (cmd.verb == MciVerb::Open) return open(cmd.path, cmd.alias);
    WebSound* device = find(cmd.alias);
    if (device == nullptr) return mci::kInvalidDeviceName;
    if (cmd.verb == MciVerb::Close) {
        for (auto it = devices_.begin(); it != devices_.end(); ++it) {
            if (it->get() == device) {
                devices_.erase(it);
                break;
            }
        }
        return mci::kOk;
    }
    return device->command(cmd, reply, replyLength);
}

void WebMedia::playerGestured() {
    pk_audio_resume();
}

}  // namespace platform

extern "C" {
// A command sent to the page's media layer as the game sends it, with the
// reply written to `reply`: for looking at the layer from outside the game.
EMSCRIPTEN_KEEPALIVE int pk_media_command(const char* command, char* reply, int replyLength) {
    if (platform::current == nullptr) return platform::NoMediaDevice::kNoDevice;
    return platform::current->mciSendStringA(command, reply,
                                             static_cast<std::uint32_t>(replyLength), 0);
}
}
