#pragma once
// How a device of the media layer plays: the sizes of what it keeps ahead.

#include <cstdint>

namespace platform {

struct SoundSettings {
    // Frames kept queued beyond the device buffer: the time that a
    // "play … from 0" has after "stopped" to join without a gap.
    std::uint32_t lookaheadMs = 100;
    // Device buffer asked of SDL, in frames.
    std::uint16_t deviceBufferFrames = 1024;
    // The start of the sound kept decoded, which a restart plays at once
    // while the reader goes back for what follows.
    std::uint32_t headMs = 1000;
    // How far the reader decodes ahead of the output.
    std::uint32_t readAheadMs = 1000;
};

}  // namespace platform
