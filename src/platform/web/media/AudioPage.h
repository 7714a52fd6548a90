#pragma once
// The page's sound functions (page/library.js, the pk_audio_* block) as the
// media layer calls them. A device or a stream is named by a key, the address
// of the object that stands for it, which the page hands back in its calls.

#include <cstdint>

extern "C" {
// Fetches the first `bytes` bytes of `name` (relative to the page) and hands
// them to pk_audio_head. Made before the game starts.
void pk_audio_prefetch(const char* name, int bytes);
// Fetches `name` from byte `offset` on for the stream `key`; a fetch of the
// same key still running is dropped. `generation` comes back with each piece.
void pk_audio_fetch(std::uintptr_t key, const char* name, double offset, int generation);
// Asks for the next piece of the running fetch, at most `bytes` long.
void pk_audio_pull(std::uintptr_t key, int generation, int bytes);
void pk_audio_fetch_end(std::uintptr_t key);

// Calls pk_audio_line_shown once the game's first line is on the screen.
void pk_audio_when_line_shown();

// Whether the page can make sound at all.
int pk_audio_can_play();
// An output running at `rate` frames a second; 0 when the page cannot make
// it.
int pk_audio_open(std::uintptr_t key, int rate, int channels);
void pk_audio_close(std::uintptr_t key);
// The output's clock, in frames.
double pk_audio_now(std::uintptr_t key);
// How far ahead of the clock a start must be made to be kept, in frames.
double pk_audio_lead(std::uintptr_t key);
// Plays `frames` frames from `samples` at frame `at` of the clock: each
// channel's `frames` samples after the one before it, as the page's buffers
// take them. With `kept` at 0 or more, the page keeps the buffer under that
// name (with its length) for pk_audio_schedule_kept.
void pk_audio_schedule(std::uintptr_t key, const float* samples, int frames, double at,
                       double kept);
// Plays the buffer kept as `kept` that is `frames` long at frame `at`;
// 0 when the page has no such buffer.
int pk_audio_schedule_kept(std::uintptr_t key, double kept, int frames, double at);
// Silences everything scheduled, at once.
void pk_audio_drop(std::uintptr_t key);
// The player's first gesture: every output may sound from now on.
void pk_audio_resume();
}
