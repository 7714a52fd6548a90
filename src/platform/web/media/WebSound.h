#pragma once
// One opened sound and the page's output that plays it: what a device alias
// of the media layer stands for.
//
// The output is an AudioContext at the sound's own rate, so that a frame of
// the sound is a frame of its clock. The sound is handed to it in slices,
// each an AudioBufferSourceNode started at the exact frame where the one
// before ends, up to a second ahead of what is heard; a pump on a timer (and
// every command) keeps that second filled, decoding just what it hands over.
//
// Modes, as on the desktop: stopped after the open, playing after a play,
// and stopped again after a seek or once the whole sound has been handed to
// the output. Its last second is then still queued, not yet heard: a play
// that arrives meanwhile is queued right after it, so a loop made of "stopped"
// and "play from 0" has no gap. A play or seek while playing interrupts: what
// is queued is silenced, and the new position is heard a moment later.
//
// The sound's first second stays decoded for as long as it is open: a
// restart from the beginning plays it at once, while the stream goes back for
// what follows, which it turns to as soon as the end has been handed over.
// A short sound (up to 4 MiB decoded, about 12 s of CD sound) is kept whole
// that way, and the page keeps its slices as buffers: once it has played
// through, looping it decodes, fetches and copies nothing.
//
// Until the player's first gesture the output stands still, and so does
// what is queued: the music then starts from where it was asked to. A page
// that cannot make sound at all has no output: every command but close then
// fails as the desktop's device does without a sound card, and the game
// goes on silently.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct MciCommand;
class StreamedWave;

class WebSound {
  public:
    WebSound(std::string alias, std::unique_ptr<StreamedWave> wave);
    ~WebSound();
    WebSound(const WebSound&) = delete;
    WebSound& operator=(const WebSound&) = delete;

    const std::string& alias() const { return alias_; }

    // Play, seek and status; any other verb is not for a device.
    std::int32_t command(const MciCommand& cmd, char* reply, std::uint32_t replyLength);

    // Keeps the output's look-ahead filled and the head decoded.
    void pump();

  private:
    void play(std::uint32_t fromFrame);
    void interrupt();
    // The frames at `position_`, at most `count`: from the head or the
    // stream. 0 with `ended` at the end of the sound.
    std::uint32_t next(std::uint32_t count, const float*& frames, bool& ended);
    void fillHead();

    const std::string alias_;
    const std::unique_ptr<StreamedWave> wave_;
    const std::uint32_t frames_;
    const int channels_;
    const int rate_;
    bool output_ = false;  // the page can make an output
    bool opened_ = false;  // and has made it
    int pumpTimer_ = 0;
    // Where a start goes when nothing is queued, in frames past the clock.
    double leadFrames_ = 0;

    std::unique_ptr<float[]> head_;
    std::size_t headSamples_ = 0;   // what head_ holds room for
    std::uint32_t headFrames_ = 0;  // the head's full length
    std::uint32_t headDecoded_ = 0;
    std::unique_ptr<float[]> slice_;
    // A slice as the page takes it, a channel at a time.
    std::unique_ptr<float[]> planar_;

    bool playing_ = false;
    std::uint32_t position_ = 0;  // the next frame to hand over
    // What the last play or seek asked, for a play without a position.
    bool askedPlay_ = false;
    std::uint32_t askedFrom_ = 0;
    // The output's frame where what is queued ends.
    double queuedEnd_ = 0;
};

}  // namespace platform
