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
// The page's one media layer, for the page's calls and the program's end.
WebMedia* current = nullptr;
}  // namespace

WebMedia* currentMedia() {
    return current;
}

WebMedia::WebMedia() {
    current = this;
    pk_audio_when_line_shown();
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

WebMedia::Waiting* WebMedia::findWaiting(std::string_view alias) {
    for (Waiting& w : waiting_) {
        if (equalsIgnoringCase(w.alias, alias)) return &w;
    }
    return nullptr;
}

std::int32_t WebMedia::open(std::string_view path, std::string_view alias) {
    if (find(alias) != nullptr || findWaiting(alias) != nullptr) return mci::kDuplicateAlias;
    // Only what was prefetched is on the page.
    const StreamedFile* file = findStreamedFile(path);
    if (file == nullptr) return mci::kFileNotFound;
    if (file->arrived && mayOpen()) return openNow(*file, alias);
    // What the site said of the file is known at once, even too soon.
    if (file->arrived) {
        if (const auto rc = StreamedWave::check(*file); rc != mci::kOk) return rc;
    }
    waiting_.push_back({std::string(alias), file, {}, false});
    return mci::kOk;
}

std::int32_t WebMedia::openNow(const StreamedFile& file, std::string_view alias) {
    std::unique_ptr<StreamedWave> wave;
    if (const auto rc = StreamedWave::open(file, wave); rc != mci::kOk) return rc;
    devices_.push_back(std::make_unique<WebSound>(std::string(alias), std::move(wave)));
    return mci::kOk;
}

std::int32_t WebMedia::takeWhileWaiting(Waiting& device, const MciCommand& cmd,
                                        std::string_view text, char* reply,
                                        std::uint32_t replyLength) {
    if (cmd.verb == MciVerb::Close) {
        waiting_.erase(waiting_.begin() + (&device - waiting_.data()));
        return mci::kOk;
    }
    // The answers of WebSound::command, for a sound it can play: a page
    // without sound has no output. (A play from beyond the sound's end is
    // refused only once it opens.)
    if (pk_audio_can_play() == 0) return mci::kHardware;
    if (cmd.verb == MciVerb::Status)
        return writeMciReply(reply, replyLength, device.playing ? "playing" : "stopped");
    device.playing = cmd.verb == MciVerb::Play;
    device.commands.emplace_back(text);
    return mci::kOk;
}

std::int32_t WebMedia::commandFromOutside(const char* command, char* reply,
                                          std::uint32_t replyLength) {
    outside_ = true;
    openWaiting();
    const std::int32_t rc = mciSendStringA(command, reply, replyLength, 0);
    outside_ = false;
    return rc;
}

void WebMedia::closeAll() {
    waiting_.clear();
    devices_.clear();
}

void WebMedia::lineShown() {
    lineShown_ = true;
    openWaiting();
}

void WebMedia::openWaiting() {
    if (!mayOpen()) return;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (!it->file->arrived) {
            ++it;
            continue;
        }
        const Waiting device = std::move(*it);
        it = waiting_.erase(it);
        // A file that proves missing or broken leaves no device, as its open
        // would have.
        if (openNow(*device.file, device.alias) != mci::kOk) continue;
        // Play and seek: they touch the devices alone.
        for (const std::string& command : device.commands)
            (void)mciSendStringA(command.c_str(), nullptr, 0, 0);
    }
}

std::int32_t WebMedia::mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                      std::intptr_t /*callback*/) {
    // No notification is ever delivered, as on the desktop.
    if (reply != nullptr && replyLength > 0) reply[0] = '\0';
    if (command == nullptr) return mci::kMissingCommandString;
    MciCommand cmd;
    if (const auto rc = parseMciCommand(command, cmd); rc != mci::kOk) return rc;
    if (cmd.verb == MciVerb::Open) return open(cmd.path, cmd.alias);
    if (Waiting* waiting = findWaiting(cmd.alias))
        return takeWhileWaiting(*waiting, cmd, command, reply, replyLength);
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
EMSCRIPTEN_KEEPALIVE void pk_audio_line_shown() {
    if (platform::current != nullptr) platform::current->lineShown();
}

// A command sent to the page's media layer as the game sends it, with the
// reply written to `reply`: for looking at the layer from outside the game.
EMSCRIPTEN_KEEPALIVE int pk_media_command(const char* command, char* reply, int replyLength) {
    if (platform::current == nullptr) return platform::NoMediaDevice::kNoDevice;
    return platform::current->commandFromOutside(command, reply,
                                                 static_cast<std::uint32_t>(replyLength));
}
}
