// Fuzz target: the media command-string parser, the reply writer, and the
// command layer over SDL's dummy audio driver.
//
// The input is a list of commands, one per line (LF). Each line goes
// 1. to the parser as it is (NUL bytes included): the result must not depend
//    on letter case; on success the views must lie inside the text and hold
//    what the grammar allows, and the command written back in canonical form
//    must parse to the same command;
// 2. to the reply writer, as the reply text, with a length taken from the
//    line's position: nothing may be written past the length (a guard region
//    follows it), and a reply of length > 0 always holds a null character;
// 3. to SdlMedia::mciSendStringA (up to its first NUL) with a reply buffer of
//    such a length, or none: again nothing past the length, a null character
//    within it, and a successful status query answers "playing" or "stopped".
// Each input runs in a scratch folder that holds a few small wave files
// (a.wav valid, b.wav with absurd chunk sizes, c.wav empty, d.txt text), so
// `open a.wav alias x` finds one; the working folder is restored after it,
// and crash files go to the folder the run started in. A fresh media layer
// serves each input.

#include <SDL.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlMedia.h"

namespace {

using platform::MciCommand;
using platform::MciVerb;
namespace mci = platform::mci;

constexpr std::size_t kMaxCommands = 64;
constexpr std::size_t kGuard = 32;
constexpr char kCanary = '\xA5';

// Reply lengths tried in turn: the game's 15, none, and the edges of the
// replies ("playing" 7+1, "stopped" 7+1).
constexpr std::uint32_t kLengths[] = {15, 0, 1, 7, 8, 9, 2, 64};

void put16(std::string& b, std::uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
void put32(std::string& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string tinyWave(std::uint32_t frames) {
    std::string data;
    for (std::uint32_t i = 0; i < frames; ++i) put16(data, static_cast<std::uint16_t>(i * 97));
    std::string b = "RIFF";
    put32(b, static_cast<std::uint32_t>(4 + 8 + 16 + 8 + data.size()));
    b += "WAVEfmt ";
    put32(b, 16);
    put16(b, 1);      // PCM
    put16(b, 1);      // mono
    put32(b, 48000);  // rate
    put32(b, 96000);  // bytes per second
    put16(b, 2);      // block align
    put16(b, 16);     // bits
    b += "data";
    put32(b, static_cast<std::uint32_t>(data.size()));
    return b + data;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool inside(std::string_view part, std::string_view whole) {
    if (part.empty()) return true;
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

bool hasAny(std::string_view s, std::string_view chars) {
    return s.find_first_of(chars) != std::string_view::npos;
}

// The command written back in canonical form.
std::string canonical(const MciCommand& c) {
    const std::string alias(c.alias);
    std::string s;
    switch (c.verb) {
        case MciVerb::Open:
            s = "open \"" + std::string(c.path) + "\" alias " + alias;
            break;
        case MciVerb::Play:
            s = "play " + alias;
            if (c.hasFrom) s += " from " + std::to_string(c.fromMs);
            break;
        case MciVerb::Seek:
            s = "seek " + alias + " to start";
            break;
        case MciVerb::Status:
            s = "status " + alias + " mode";
            break;
        case MciVerb::Close:
            s = "close " + alias;
            break;
    }
    if (c.notify) s += " notify";
    return s;
}

void checkParser(std::string_view text) {
    MciCommand cmd;
    const std::int32_t rc = platform::parseMciCommand(text, cmd);
    MciCommand again;
    FUZZ_CHECK(platform::parseMciCommand(text, again) == rc);
    const std::string up = upper(text);
    MciCommand upperCmd;
    FUZZ_CHECK(platform::parseMciCommand(up, upperCmd) == rc);
    if (rc != mci::kOk) {
        FUZZ_CHECK(rc > mci::kErrBase && rc < mci::kErrBase + 64);
        return;
    }
    FUZZ_CHECK(inside(cmd.alias, text) && inside(cmd.path, text));
    FUZZ_CHECK(!cmd.alias.empty());
    FUZZ_CHECK(!hasAny(cmd.alias, std::string_view(" \t\"", 3)));
    if (cmd.verb == MciVerb::Open) {
        FUZZ_CHECK(!cmd.path.empty());
        FUZZ_CHECK(cmd.path.find('"') == std::string_view::npos);
    } else {
        FUZZ_CHECK(cmd.path.empty());
    }
    if (cmd.verb != MciVerb::Play) FUZZ_CHECK(!cmd.hasFrom && cmd.fromMs == 0);
    if (cmd.verb == MciVerb::Status) FUZZ_CHECK(!cmd.notify);

    const std::string back = canonical(cmd);
    MciCommand round;
    FUZZ_CHECK(platform::parseMciCommand(back, round) == mci::kOk);
    FUZZ_CHECK(round.verb == cmd.verb && round.alias == cmd.alias && round.path == cmd.path &&
               round.hasFrom == cmd.hasFrom && round.fromMs == cmd.fromMs &&
               round.notify == cmd.notify);
    FUZZ_CHECK(upperCmd.verb == cmd.verb && upperCmd.hasFrom == cmd.hasFrom &&
               upperCmd.fromMs == cmd.fromMs && upperCmd.notify == cmd.notify &&
               platform::equalsIgnoringCase(upperCmd.alias, cmd.alias));
}

// A reply buffer of `length` characters followed by a guard region.
struct ReplyBuffer {
    explicit ReplyBuffer(std::uint32_t length) : length(length), bytes(length + kGuard, kCanary) {}
    char* data() { return bytes.data(); }
    void checkGuardAndTerminator(bool written) const {
        for (std::size_t i = length; i < bytes.size(); ++i) FUZZ_CHECK(bytes[i] == kCanary);
        if (written && length > 0) FUZZ_CHECK(std::memchr(bytes.data(), '\0', length) != nullptr);
    }
    std::uint32_t length;
    std::vector<char> bytes;
};

void checkReplyWriter(std::string_view text, std::uint32_t length) {
    ReplyBuffer reply(length);
    const std::int32_t rc = platform::writeMciReply(reply.data(), length, text);
    reply.checkGuardAndTerminator(true);
    if (rc == mci::kOk) {
        FUZZ_CHECK(text.size() < length);
        FUZZ_CHECK(std::memcmp(reply.data(), text.data(), text.size()) == 0);
        FUZZ_CHECK(reply.bytes[text.size()] == '\0');
    } else {
        FUZZ_CHECK(rc == mci::kParamOverflow && text.size() + 1 > length);
    }
    FUZZ_CHECK(platform::writeMciReply(nullptr, length, text) == mci::kOk);
}

std::string gStartFolder;
std::string gScratch;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    char cwd[4096];
    FUZZ_CHECK(getcwd(cwd, sizeof cwd) != nullptr);
    gStartFolder = cwd;
    // Inputs run in the scratch folder: without a prefix of its own, a crash
    // file would be written there. libFuzzer reads its flags after this call.
    bool hasPrefix = false;
    for (int i = 1; i < *argc; ++i)
        hasPrefix = hasPrefix || std::string_view((*argv)[i]).rfind("-artifact_prefix=", 0) == 0;
    if (!hasPrefix) {
        static std::string prefix = "-artifact_prefix=" + gStartFolder + "/";
        static std::vector<char*> args;
        args.assign(*argv, *argv + *argc);
        args.push_back(prefix.data());
        args.push_back(nullptr);
        *argc += 1;
        *argv = args.data();
    }

    const std::string folder = fuzz::scratchFolder("pirokko-fuzz-mci");
    gScratch = folder;
    writeFile(folder + "/a.wav", tinyWave(400));
    std::string bad = tinyWave(40);
    bad[40] = '\xFF';  // the data chunk's length: far past the end
    bad[41] = '\xFF';
    bad[42] = '\xFF';
    bad[43] = '\x7F';
    writeFile(folder + "/b.wav", bad);
    writeFile(folder + "/c.wav", "");
    writeFile(folder + "/d.txt", "status MIDI mode\r\n");
    // Audio on SDL's dummy driver, kept up for the whole run so that each
    // input's media layer starts and stops it cheaply.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    FUZZ_CHECK(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    platform::SdlMedia::Options options;
    options.lookaheadMs = 20;
    options.deviceBufferFrames = 64;  // closing waits for one buffer
    FUZZ_CHECK(chdir(gScratch.c_str()) == 0);
    struct Back {
        ~Back() { FUZZ_CHECK(chdir(gStartFolder.c_str()) == 0); }
    } back;
    platform::SdlMedia media(options);

    std::size_t start = 0;
    for (std::size_t n = 0; n < kMaxCommands && start <= size; ++n) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = size;
        const std::string_view line = input.substr(start, end - start);
        start = end + 1;

        checkParser(line);
        const std::uint32_t length = kLengths[n % std::size(kLengths)];
        checkReplyWriter(line, length);

        const std::string command(line.substr(0, line.find('\0')));
        const bool withReply = n % 3 != 2;
        ReplyBuffer reply(length);
        const std::int32_t rc =
            media.mciSendStringA(command.c_str(), withReply ? reply.data() : nullptr, length, 0);
        reply.checkGuardAndTerminator(withReply);
        if (fuzz::tracing()) {
            std::fprintf(stderr, "[%zu] \"%s\" reply %s/%u -> %d \"%.*s\"\n", n, command.c_str(),
                         withReply ? "buffer" : "none", length, rc,
                         static_cast<int>(withReply ? strnlen(reply.data(), length) : 0),
                         reply.data());
        }
        FUZZ_CHECK(rc == mci::kOk || (rc > mci::kErrBase && rc < mci::kErrBase + 64));
        MciCommand parsed;
        if (withReply && rc == mci::kOk && length > 0 &&
            platform::parseMciCommand(command, parsed) == mci::kOk &&
            parsed.verb == MciVerb::Status) {
            const std::string_view word(reply.data());
            FUZZ_CHECK(word == "playing" || word == "stopped");
        }
    }
    return 0;
}
