#pragma once
// Which sound files the game plays, decided the same way by every backend
// from what libsndfile read of a file's headers: a wave container (RIFF,
// extensible, W64 or RF64) with a sane number of channels and rate and at
// least one frame.

#include <sndfile.h>

namespace platform {

inline constexpr int kWaveMaxChannels = 8;
// The highest rate taken: far beyond any recording, and low enough that an
// output's resampler never asks for a buffer of absurd size.
inline constexpr int kWaveMaxRate = 384000;

inline bool isWaveContainer(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
        case SF_FORMAT_WAV:
        case SF_FORMAT_WAVEX:
        case SF_FORMAT_W64:
        case SF_FORMAT_RF64:
            return true;
        default:
            return false;
    }
}

inline bool isPlayableWave(const SF_INFO& info) {
    return isWaveContainer(info.format) && info.channels >= 1 &&
           info.channels <= kWaveMaxChannels && info.samplerate >= 1 &&
           info.samplerate <= kWaveMaxRate && info.frames >= 1;
}

}  // namespace platform
