// Writes one short wave file in each encoding the game plays into a folder,
// for holding the browser's libsndfile against the desktop's. The signal is
// a fixed mix of tones and pseudo-random noise, so every run writes the same
// bytes.
//
//   make_waves FOLDER

#include <math.h>
#include <sndfile.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

enum { kRate = 22050, kFrames = 22050 + 123, kChannels = 2 };

static const struct {
    const char* name;
    int format;
} kWaves[] = {
    {"pcm_u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
    {"pcm_16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {"pcm_24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
    {"pcm_32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32},
    {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
    {"double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE},
    {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW},
    {"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW},
    {"ima_adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM},
    {"ms_adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM},
    {"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16},
    {"pcm_16.w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16},
    {"ima_adpcm.w64", SF_FORMAT_W64 | SF_FORMAT_IMA_ADPCM},
    {"pcm_16.rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16},
};

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_waves FOLDER\n");
        return 2;
    }
    static float samples[kFrames * kChannels];
    uint32_t noise = 12345;
    for (int i = 0; i < kFrames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = (double)i / kRate;
        const double n = ((double)(noise >> 8) / (1 << 24) - 0.5) * 0.2;
        // Both ends of the range are reached, where rounding differs first.
        samples[i * 2] = (float)(0.7 * sin(2 * M_PI * 440 * t) + n);
        samples[i * 2 + 1] =
            (float)((i % 997 == 0) ? (i % 2 ? 1.0 : -1.0) : 0.5 * sin(2 * M_PI * 61 * t) - n);
    }
    for (size_t w = 0; w < sizeof kWaves / sizeof kWaves[0]; ++w) {
        char path[4096];
        snprintf(path, sizeof path, "%s/%s", argv[1], kWaves[w].name);
        SF_INFO info;
        memset(&info, 0, sizeof info);
        info.samplerate = kRate;
        info.channels = kChannels;
        info.format = kWaves[w].format;
        SNDFILE* sf = sf_open(path, SFM_WRITE, &info);
        if (!sf) {
            fprintf(stderr, "make_waves: %s: %s\n", path, sf_strerror(NULL));
            return 1;
        }
        if (sf_writef_float(sf, samples, kFrames) != kFrames) {
            fprintf(stderr, "make_waves: %s: %s\n", path, sf_strerror(sf));
            return 1;
        }
        sf_close(sf);
    }
    return 0;
}
