#include "platform/web/media/StreamedFiles.h"

#include <emscripten.h>

#include <memory>

#include "platform/system/Program.h"
#include "platform/web/media/AudioPage.h"

namespace platform {

namespace {

// Enough for the headers of any ordinary wave file and its first frames.
// Set by the build, which writes the same figure into the page.
constexpr int kHeadBytes = PIROKKO_MUSIC_HEAD_BYTES;

struct Pending {
    StreamedFile file;
    void (*done)() = nullptr;
};

std::vector<std::unique_ptr<Pending>>& files() {
    static std::vector<std::unique_ptr<Pending>> f;
    return f;
}

std::string pathOf(const std::string& name) {
    return toUtf8(ProgramFolder()) + "/" + name;
}

}  // namespace

void prefetchStreamedFile(const std::string& name, void (*done)()) {
    auto p = std::make_unique<Pending>();
    p->file.name = name;
    p->done = done;
    files().push_back(std::move(p));
    pk_audio_prefetch(name.c_str(), kHeadBytes);
}

const StreamedFile* findStreamedFile(std::string_view path) {
    for (const auto& p : files()) {
        if (pathOf(p->file.name) == path) return &p->file;
    }
    return nullptr;
}

}  // namespace platform

extern "C" {

// The head of a prefetched file, or found 0. `length` is the whole file's
// length, negative when the site did not tell it.
EMSCRIPTEN_KEEPALIVE void pk_audio_head(const char* name, const std::uint8_t* data, int bytes,
                                        double length, int found) {
    for (const auto& p : platform::files()) {
        if (p->file.name != name || p->file.arrived) continue;
        p->file.arrived = true;
        p->file.found = found != 0;
        p->file.length = length < 0 ? platform::kUnknownLength : static_cast<std::uint64_t>(length);
        if (p->file.found) p->file.head.assign(data, data + bytes);
        p->done();
        return;
    }
}
}
