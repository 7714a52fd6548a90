// Bad content named bgm.wav: the open fails with an error code, nothing
// crashes, nothing is allocated beyond the file's size, and the game runs on
// silently.

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "AllocationCount.h"
#include "WaveFiles.h"
#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlMedia.h"
#include "platform/system/Text.h"
#include "shared/Music.h"

using platform::SdlMedia;
using wavefiles::Bytes;
namespace mci = platform::mci;

namespace {

// Offsets in a file made by wavefiles::wave with a 16-byte fmt chunk.
constexpr std::size_t kRiffLength = 4, kFmtLength = 16, kChannels = 22, kRate = 24,
                      kBlockAlign = 32, kBits = 34, kDataLength = 40;

void setLe(Bytes& b, std::size_t at, std::uint32_t v, int width) {
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

Bytes good() {
    return wavefiles::countingWave(2000);
}

struct Case {
    std::string name;
    Bytes file;
    // Damaged only in headers that libsndfile reads past: the sound that is
    // there plays, once, and ends.
    bool playsWhatIsThere = false;
};

std::vector<Case> badFiles() {
    std::vector<Case> c;
    // The good file cut short (at `cut` bytes, 0 for not) and with up to two
    // little-endian fields overwritten.
    const struct {
        const char* name;
        std::size_t cut;
        struct {
            std::size_t at;
            std::uint32_t value;
            int width;
        } patches[2];
        bool plays = false;
    } patched[] = {
        {"truncated-data", good().size() / 2, {}, true},
        {"truncated-in-fmt", 30, {}},
        {"truncated-in-header", 11, {}},
        {"data-length-4GiB", 0, {{kDataLength, 0xFFFFFFF0u, 4}}, true},
        {"riff-and-data-lengths-huge",
         0,
         {{kDataLength, 0x7FFFFFFFu, 4}, {kRiffLength, 0xFFFFFFFFu, 4}},
         true},
        {"riff-length-huge", 0, {{kRiffLength, 0xFFFFFFFFu, 4}}, true},
        {"riff-length-tiny", 0, {{kRiffLength, 2, 4}}, true},
        {"fmt-length-huge", 0, {{kFmtLength, 0xFFFFFF00u, 4}}},
        {"fmt-length-short", 0, {{kFmtLength, 4, 4}}},
        {"no-channels", 0, {{kChannels, 0, 2}}},
        {"65535-channels", 0, {{kChannels, 65535, 2}}},
        {"rate-0", 0, {{kRate, 0, 4}}},
        {"bits-0", 0, {{kBits, 0, 2}}},
        {"bits-13", 0, {{kBits, 13, 2}}, true},
        {"block-align-0", 0, {{kBlockAlign, 0, 2}}, true},
        // Up to the data chunk, which is left out.
        {"no-data-chunk", kDataLength - 4, {{kRiffLength, kDataLength - 12, 4}}},
        {"rifx", 0, {{0, 0x58464952u, 4}}},      // "RIFX"
        {"riff-avi", 0, {{8, 0x20495641u, 4}}},  // "AVI "
    };
    for (const auto& p : patched) {
        Bytes b = good();
        if (p.cut != 0) b.resize(p.cut);
        for (const auto& f : p.patches) {
            if (f.width != 0) setLe(b, f.at, f.value, f.width);
        }
        c.push_back({p.name, b, p.plays});
    }
    c.push_back({"empty", {}});
    c.push_back({"no-samples", wavefiles::wave(1, 2, 44100, 16, {})});
    c.push_back({"less-than-one-frame", wavefiles::wave(1, 2, 44100, 16, {1, 2, 3})});
    {
        // An MP3 file: an ID3 tag, then MPEG-1 layer III frame headers.
        Bytes b = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int f = 0; f < 20; ++f) {
            b.insert(b.end(), {0xFF, 0xFB, 0x90, 0x64});
            b.insert(b.end(), 413, static_cast<std::uint8_t>(f * 7));
        }
        c.push_back({"mp3", b});
    }
    // MP3 data inside a RIFF WAVE (format tag 0x55).
    c.push_back({"riff-wave-mp3", wavefiles::wave(0x55, 2, 44100, 0, Bytes(4000, 0x5A), {}, 1)});
    const std::string text = "This is not music.\r\nIt is a text file named bgm.wav.\r\n";
    c.push_back({"text", Bytes(text.begin(), text.end())});
    Bytes noise(4096);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 131 + 7);
    c.push_back({"noise", noise});
    {
        // A second data chunk with a huge length after a good one.
        Bytes b = good();
        b.insert(b.end(), {'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0x7F});
        setLe(b, kRiffLength, static_cast<std::uint32_t>(b.size() - 8), 4);
        c.push_back({"second-data-chunk-huge", b});
    }
    {
        // MS ADPCM with absurd block parameters.
        Bytes extra;
        wavefiles::put16(extra, 32);
        wavefiles::put16(extra, 0xFFFF);  // samples per block
        wavefiles::put16(extra, 7);       // coefficients
        extra.resize(extra.size() + 28, 0);
        c.push_back({"ms-adpcm-absurd", wavefiles::wave(2, 2, 44100, 4, Bytes(512, 1), extra, 8)});
    }
    // IMA ADPCM with a block alignment larger than the data.
    const Bytes imaExtra = {2, 0, 0xFF, 0xFF};
    c.push_back(
        {"ima-adpcm-absurd", wavefiles::wave(0x11, 1, 8000, 4, Bytes(100, 1), imaExtra, 0xFFFF)});
    return c;
}

class BadWave : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    wavefiles::ScratchDir dir_{"bad"};
};

}  // namespace

TEST_F(BadWave, EachFailsWithACodeAndAllocatesNoMoreThanTheFile) {
    SdlMedia::Options atOnce;
    atOnce.openInBackground = false;  // everything on this thread, where allocations count
    const auto path = dir_.path() / "bgm.wav";
    const std::string command = "open \"" + path.string() + "\" alias MIDI";
    // The file the bad ones are made from opens, and so does an odd chunk
    // that lacks its final pad byte.
    wavefiles::writeFile(path, good());
    EXPECT_EQ(SdlMedia(atOnce).mciSendStringA(command.c_str(), nullptr, 0, 0), mci::kOk);
    Bytes odd = wavefiles::wave(1, 1, 8000, 8, Bytes(5, 0x80));
    odd.pop_back();
    setLe(odd, kRiffLength, static_cast<std::uint32_t>(odd.size() - 8), 4);
    wavefiles::writeFile(path, odd);
    EXPECT_EQ(SdlMedia(atOnce).mciSendStringA(command.c_str(), nullptr, 0, 0), mci::kOk);

    for (const auto& c : badFiles()) {
        SCOPED_TRACE(c.name);
        wavefiles::writeFile(path, c.file);
        SdlMedia media(atOnce);
        if (c.playsWhatIsThere) {
            EXPECT_EQ(media.mciSendStringA(command.c_str(), nullptr, 0, 0), mci::kOk);
            EXPECT_EQ(media.mciSendStringA("play MIDI", nullptr, 0, 0), mci::kOk);
            char reply[16] = "";
            const auto start = std::chrono::steady_clock::now();
            while (media.mciSendStringA("status MIDI mode", reply, 15, 0) == mci::kOk &&
                   std::string(reply) == "playing" &&
                   std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            EXPECT_STREQ(reply, "stopped");
            continue;
        }
        std::int32_t rc = 0;
        alloccount::Tally tally;
        {
            alloccount::Counting counting;
            rc = media.mciSendStringA(command.c_str(), nullptr, 0, 0);
            tally = counting.tally();
        }
        EXPECT_TRUE(rc == mci::kInvalidFile || rc == mci::kFileNotFound) << rc;
        // Room for the path, the command and small bookkeeping.
        EXPECT_LE(tally.largest, c.file.size() + 1024) << "largest allocation";
        EXPECT_LE(tally.total, 2 * c.file.size() + 16384) << "all allocations";
    }
}

// As the game opens it: the open fails, the game goes on silently and the
// ticks never restart anything.
TEST_F(BadWave, TheGameStaysSilentWithEach) {
    for (const auto& c : badFiles()) {
        if (c.playsWhatIsThere) continue;
        SCOPED_TRACE(c.name);
        const auto path = dir_.path() / "bgm.wav";
        wavefiles::writeFile(path, c.file);
        SdlMedia media;
        共用関数 module(media);
        module.BgmOpen(platform::fromUtf8(path.string()));
        module.BgmOn = -1;
        module.BgmPlay();
        char reply[16] = "";
        const auto start = std::chrono::steady_clock::now();
        while (media.mciSendStringA("status MIDI mode", reply, 15, 0) == mci::kOk &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_NE(media.mciSendStringA("status MIDI mode", reply, 15, 0), mci::kOk);
        module.BgmResult = 0;
        for (int i = 0; i < 5; ++i) PollBgm(module);
        EXPECT_EQ(module.BgmResult, 0);
    }
}

// Files that cannot be opened at all: missing, or a folder.
TEST_F(BadWave, MissingOrFolder) {
    SdlMedia media;
    const auto missing = "open \"" + (dir_.path() / "bgm.wav").string() + "\" alias MIDI";
    EXPECT_EQ(media.mciSendStringA(missing.c_str(), nullptr, 0, 0), mci::kFileNotFound);
    std::filesystem::create_directories(dir_.path() / "folder" / "bgm.wav");
    const auto folder = "open \"" + (dir_.path() / "folder" / "bgm.wav").string() + "\" alias MIDI";
    EXPECT_EQ(media.mciSendStringA(folder.c_str(), nullptr, 0, 0), mci::kInvalidFile);
    // The audio subsystem was never needed.
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}
