#pragma once
// Hand-written stand-ins for the seams of the window: they record what the
// game asked of them and answer as the test decides.

#include <deque>
#include <string>
#include <vector>

#include "platform/media/MediaCommands.h"
#include "platform/system/Random.h"

// Numbers drawn come from a queue the test fills; when it runs dry, from a
// seeded generator, so a long run stays deterministic.
class ScriptedRandom final : public platform::RandomSource {
  public:
    void Randomize() override {}
    float Rnd() override {
        ++draws;
        if (!queued.empty()) {
            const float r = queued.front();
            queued.pop_front();
            return r;
        }
        return fallback.Rnd();
    }
    std::deque<float> queued;
    platform::MersenneRandom fallback{12345};
    long long draws = 0;
};

class RecordingMedia final : public platform::MediaCommands {
  public:
    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t) override {
        commands.emplace_back(command);
        if (reply && replyLength > 0) {
            std::size_t n = std::min<std::size_t>(statusReply.size(), replyLength - 1);
            statusReply.copy(reply, n);
            reply[n] = '\0';
        }
        return 0;
    }
    std::vector<std::string> commands;
    std::string statusReply = "playing";
};
