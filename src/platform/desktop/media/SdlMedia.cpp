#include "platform/desktop/media/SdlMedia.h"

#include <string>

#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlLoader.h"
#include "platform/desktop/media/SoundDevice.h"
#include "platform/desktop/media/WaveReader.h"

namespace platform {

SdlMedia::SdlMedia() : SdlMedia(Options{}) {}

SdlMedia::SdlMedia(Options options)
    : options_(options), audio_(std::make_unique<AudioSubsystem>(options.holdOutput)) {}

SdlMedia::~SdlMedia() {
    while (!devices_.empty()) close(*devices_.back());
}

SoundDevice* SdlMedia::find(std::string_view alias) {
    for (const auto& d : devices_) {
        if (equalsIgnoringCase(d->alias(), alias)) return d.get();
    }
    return nullptr;
}

void SdlMedia::startAudioInBackground() {
    audio_->startInBackground();
}

std::int32_t SdlMedia::open(std::string_view path, std::string_view alias) {
    if (find(alias) != nullptr) return mci::kDuplicateAlias;
    std::unique_ptr<WaveReader> reader;
    if (const auto rc = WaveReader::open(std::string(path), reader); rc != mci::kOk) return rc;
    auto device = std::make_unique<SoundDevice>(std::string(alias), std::move(reader), options_);
    // Without a thread to spare it is loaded here and now.
    if (!options_.openInBackground || !device->loadInBackground(*audio_)) {
        if (const auto rc = device->load(*audio_); rc != mci::kOk) return rc;
    }
    devices_.push_back(std::move(device));
    return mci::kOk;
}

void SdlMedia::close(SoundDevice& d) {
    d.abandon();
    audio_->wakeHeld();
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->get() == &d) {
            devices_.erase(it);  // waits for its background work
            return;
        }
    }
}

std::int32_t SdlMedia::mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                      std::intptr_t /*callback*/) {
    // No notification is ever delivered: this layer has no window to post to.
    if (reply != nullptr && replyLength > 0) reply[0] = '\0';
    if (command == nullptr) return mci::kMissingCommandString;

    MciCommand cmd;
    if (const auto rc = parseMciCommand(command, cmd); rc != mci::kOk) return rc;

    std::lock_guard<std::mutex> lock(mutex_);
    if (cmd.verb == MciVerb::Open) return open(cmd.path, cmd.alias);

    SoundDevice* device = find(cmd.alias);
    if (device == nullptr) return mci::kInvalidDeviceName;
    if (cmd.verb == MciVerb::Close) {
        close(*device);
        return mci::kOk;
    }
    return device->command(cmd, reply, replyLength);
}

}  // namespace platform
