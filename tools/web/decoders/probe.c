// What giflib and libsndfile make of a file, printed as one line of numbers
// and digests, so that the desktop's build of a library and the browser's
// can be held against each other. Built with PROBE_GIF, PROBE_WAV or both;
// with PROBE_EXPORTS it has no main and no file access, only the calls the
// game makes, so that its wasm measures what the library itself costs.
//
//   probe gif|wav FILE...    one line for each FILE: its name, then the figures

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef PROBE_GIF
#include <gif_lib.h>
#endif
#ifdef PROBE_WAV
#include <sndfile.h>
#endif

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#define PROBE_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define PROBE_EXPORT
#endif

typedef struct {
    const unsigned char* at;
    size_t size;
    size_t pos;
} Memory;

static uint32_t fnv(uint32_t h, const void* data, size_t n) {
    const unsigned char* p = data;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

#ifdef PROBE_EXPORTS
// What every build of the probe has: its cost is the size baseline.
PROBE_EXPORT uint32_t probe_digest(const unsigned char* data, size_t size) {
    return fnv(2166136261u, data, size);
}
#endif

#ifdef PROBE_GIF
static int readGif(GifFileType* gif, GifByteType* to, int wanted) {
    Memory* m = gif->UserData;
    size_t n = m->size - m->pos;
    if (n > (size_t)wanted) n = (size_t)wanted;
    memcpy(to, m->at + m->pos, n);
    m->pos += n;
    return (int)n;
}

// Fills `out` with: error, width, height, images, and digests of the first
// image's frame, colours and pixels.
PROBE_EXPORT int probe_gif(const unsigned char* data, size_t size, uint32_t out[8]) {
    Memory m = {data, size, 0};
    int error = 0;
    memset(out, 0, 8 * sizeof out[0]);
    GifFileType* gif = DGifOpen(&m, readGif, &error);
    if (!gif) {
        out[0] = (uint32_t)error;
        return 0;
    }
    if (DGifSlurp(gif) != GIF_OK) out[0] = (uint32_t)gif->Error;
    out[1] = (uint32_t)gif->SWidth;
    out[2] = (uint32_t)gif->SHeight;
    out[3] = (uint32_t)gif->ImageCount;
    if (gif->ImageCount > 0) {
        const SavedImage* image = &gif->SavedImages[0];
        const GifImageDesc* d = &image->ImageDesc;
        const int frame[5] = {d->Left, d->Top, d->Width, d->Height, d->Interlace};
        out[4] = fnv(2166136261u, frame, sizeof frame);
        const ColorMapObject* map = d->ColorMap ? d->ColorMap : gif->SColorMap;
        if (map)
            out[5] = fnv(2166136261u, map->Colors, (size_t)map->ColorCount * sizeof(GifColorType));
        if (image->RasterBits && out[0] == 0)
            out[6] = fnv(2166136261u, image->RasterBits, (size_t)d->Width * (size_t)d->Height);
    }
    DGifCloseFile(gif, &error);
    return 1;
}
#endif

#ifdef PROBE_WAV
static sf_count_t wavLength(void* user) {
    return (sf_count_t)((Memory*)user)->size;
}
static sf_count_t wavSeek(sf_count_t offset, int whence, void* user) {
    Memory* m = user;
    sf_count_t base = whence == SEEK_CUR   ? (sf_count_t)m->pos
                      : whence == SEEK_END ? (sf_count_t)m->size
                                           : 0;
    if (offset < -base) return -1;
    m->pos = (size_t)(base + offset);
    return (sf_count_t)m->pos;
}
static sf_count_t wavRead(void* out, sf_count_t count, void* user) {
    Memory* m = user;
    size_t n = m->pos < m->size ? m->size - m->pos : 0;
    if ((sf_count_t)n > count) n = (size_t)count;
    memcpy(out, m->at + m->pos, n);
    m->pos += n;
    return (sf_count_t)n;
}
static sf_count_t wavWrite(const void* from, sf_count_t count, void* user) {
    (void)from, (void)count, (void)user;
    return 0;
}
static sf_count_t wavTell(void* user) {
    return (sf_count_t)((Memory*)user)->pos;
}

// Fills `out` with: opened, frames, channels, rate, format, frames read and
// a digest of them as 16-bit samples.
PROBE_EXPORT int probe_wav(const unsigned char* data, size_t size, uint32_t out[8]) {
    Memory m = {data, size, 0};
    SF_VIRTUAL_IO io = {wavLength, wavSeek, wavRead, wavWrite, wavTell};
    SF_INFO info;
    memset(&info, 0, sizeof info);
    memset(out, 0, 8 * sizeof out[0]);
    SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &m);
    if (!sf) return 0;
    out[0] = 1;
    out[1] = (uint32_t)info.frames;
    out[2] = (uint32_t)info.channels;
    out[3] = (uint32_t)info.samplerate;
    out[4] = (uint32_t)info.format;
    short block[4096];
    const sf_count_t perRead = (sf_count_t)(sizeof block / sizeof block[0]) / info.channels;
    uint32_t h = 2166136261u;
    sf_count_t n, total = 0;
    while ((n = sf_readf_short(sf, block, perRead)) > 0) {
        h = fnv(h, block, (size_t)(n * info.channels) * sizeof block[0]);
        total += n;
    }
    out[5] = (uint32_t)total;
    out[6] = h;
    sf_close(sf);
    return 1;
}
#endif

#ifndef PROBE_EXPORTS
static unsigned char* slurp(const char* path, size_t* size) {
    FILE* f = fopen(path, "rb");
    if (!f) return NULL;
    unsigned char* data = NULL;
    size_t used = 0, room = 0, n;
    do {
        if (used == room) {
            room = room ? room * 2 : 65536;
            data = realloc(data, room);
            if (!data) abort();
        }
        n = fread(data + used, 1, room - used, f);
        used += n;
    } while (n > 0);
    fclose(f);
    *size = used;
    return data;
}

int main(int argc, char** argv) {
    if (argc < 3 || (strcmp(argv[1], "gif") != 0 && strcmp(argv[1], "wav") != 0)) {
        fprintf(stderr, "usage: probe gif|wav FILE...\n");
        return 2;
    }
    int status = 0;
    for (int a = 2; a < argc; ++a) {
        size_t size = 0;
        unsigned char* data = slurp(argv[a], &size);
        if (!data) {
            fprintf(stderr, "probe: cannot read %s\n", argv[a]);
            status = 1;
            continue;
        }
        uint32_t out[8] = {0};
#ifdef PROBE_GIF
        if (strcmp(argv[1], "gif") == 0) probe_gif(data, size, out);
#endif
#ifdef PROBE_WAV
        if (strcmp(argv[1], "wav") == 0) probe_wav(data, size, out);
#endif
        free(data);
        printf("%s", argv[a]);
        for (int i = 0; i < 8; ++i) printf(" %08x", out[i]);
        printf("\n");
    }
    return status;
}
#endif
