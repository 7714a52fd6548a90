#pragma once
// The shared module 共用関数: the music switch and the last media result, the
// music procedures, and the loop counters that several procedures share.

#include <cstdint>

#include "platform/media/MediaCommands.h"
#include "platform/system/Text.h"

struct 共用関数 {
    explicit 共用関数(platform::MediaCommands& media) : Media(media) {}

    platform::MediaCommands& Media;

    // -1 means the music is on; nothing but start-up writes it.
    std::int16_t BgmOn = 0;
    // Code of the last media command other than the status query; kept for
    // inspection, never acted on.
    std::int32_t BgmResult = 0;

    // Shared counters (variants in the original design, so they hold any
    // number). Loops whose callee may run another loop keep a counter of
    // their own instead, so that nesting cannot disturb them.
    double LoopI = 0;
    double LoopJ = 0;
    double LoopK = 0;

    void BgmOpen(const platform::Text& path);
    void BgmClose();
    void BgmPlay();
};
