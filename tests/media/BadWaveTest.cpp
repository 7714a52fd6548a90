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
#include "platform/MciCommand.h"
#include "platform/SdlMedia.h"
#include "platform/Text.h"
#include "shared/Music.h"

using platform::SdlMedia;
using wavefiles::Bytes;
namespace mci = platform::mci;

namespace {

void setLe32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void setLe16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Offsets in a file made by wavefiles::wave with a 16-byte fmt chunk.
constexpr std::size_t kRiffLength = 4, kFmtLength = 16, kChannels = 22, kRate = 24,
                      kBlockAlign = 32, kBits = 34, kDataLength = 40, kData = 44;

Bytes good() {
    return wavefiles::countingWave(2000);
}

struct Case {
    std::string name;
    Bytes file;
};

std::vector<Case> badFiles() {
    std::vector<Case> c;
    c.push_back({"empty", {}});
    {
        Bytes b = good();
        b.resize(b.size() / 2);
        c.push_back({"truncated-data", b});
    }
    {
        Bytes b = good();
        b.resize(30);
        c.push_back({"truncated-in-fmt", b});
    }
    {
        Bytes b = good();
        b.resize(11);
        c.push_back({"truncated-in-header", b});
    }
    {
        Bytes b = good();
        setLe32(b, kDataLength, 0xFFFFFFF0u);
        c.push_back({"data-length-4GiB", b});
    }
    {
        Bytes b = good();
        setLe32(b, kDataLength, 0x7FFFFFFFu);
        setLe32(b, kRiffLength, 0xFFFFFFFFu);
        c.push_back({"riff-and-data-lengths-huge", b});
    }
    {
        Bytes b = good();
        setLe32(b, kRiffLength, 0xFFFFFFFFu);
        c.push_back({"riff-length-huge", b});
    }
    {
        Bytes b = good();
        setLe32(b, kRiffLength, 2);
        c.push_back({"riff-length-tiny", b});
    }
    {
        Bytes b = good();
        setLe32(b, kFmtLength, 0xFFFFFF00u);
        c.push_back({"fmt-length-huge", b});
    }
    {
        Bytes b = good();
        setLe32(b, kFmtLength, 4);
        c.push_back({"fmt-length-short", b});
    }
    {
        Bytes b = good();
        setLe16(b, kChannels, 0);
        c.push_back({"no-channels", b});
    }
    {
        Bytes b = good();
        setLe16(b, kChannels, 65535);
        c.push_back({"65535-channels", b});
    }
    {
        Bytes b = good();
        setLe32(b, kRate, 0);
        c.push_back({"rate-0", b});
    }
    {
        Bytes b = good();
        setLe16(b, kBits, 0);
        c.push_back({"bits-0", b});
    }
    {
        Bytes b = good();
        setLe16(b, kBits, 13);
        c.push_back({"bits-13", b});
    }
    {
        Bytes b = good();
        setLe16(b, kBlockAlign, 0);
        c.push_back({"block-align-0", b});
    }
    {
        Bytes b = good();
        b.resize(kDataLength - 4);  // up to the data chunk, which is left out
        setLe32(b, kRiffLength, static_cast<std::uint32_t>(b.size() - 8));
        c.push_back({"no-data-chunk", b});
    }
    c.push_back({"no-samples", wavefiles::wave(1, 2, 44100, 16, {})});
    {
        Bytes b = wavefiles::wave(1, 2, 44100, 16, {1, 2, 3});
        c.push_back({"less-than-one-frame", b});
    }
    {
        Bytes b = good();
        std::memcpy(b.data(), "RIFX", 4);
        c.push_back({"rifx", b});
    }
    {
        Bytes b = good();
        std::memcpy(b.data() + 8, "AVI ", 4);
        c.push_back({"riff-avi", b});
    }
    {
        // An MP3 file: an ID3 tag, then MPEG-1 layer III frame headers.
        Bytes b = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int f = 0; f < 20; ++f) {
            const std::uint8_t frame[4] = {0xFF, 0xFB, 0x90, 0x64};
            b.insert(b.end(), frame, frame + 4);
            b.insert(b.end(), 413, static_cast<std::uint8_t>(f * 7));
        }
        c.push_back({"mp3", b});
    }
    {
        // MP3 data inside a RIFF WAVE (format tag 0x55).
        Bytes payload(4000, 0x5A);
        c.push_back({"riff-wave-mp3", wavefiles::wave(0x55, 2, 44100, 0, payload, {}, 1)});
    }
    {
        const std::string text = "This is not music.\r\nIt is a text file named bgm.wav.\r\n";
        c.push_back({"text", Bytes(text.begin(), text.end())});
    }
    {
        Bytes b(4096);
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 131 + 7);
        c.push_back({"noise", b});
    }
    {
        // A chunk whose odd length's padding runs the walk off the end, and a
        // second data chunk with a huge length after a good one.
        Bytes b = good();
        const std::size_t riffEnd = b.size();
        b.insert(b.end(), {'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0x7F});
        setLe32(b, kRiffLength, static_cast<std::uint32_t>(b.size() - 8));
        (void)riffEnd;
        c.push_back({"second-data-chunk-huge", b});
    }
    {
        // MS ADPCM with absurd block parameters.
        Bytes extra;
        wavefiles::put16(extra, 32);
        wavefiles::put16(extra, 0xFFFF);  // samples per block
        wavefiles::put16(extra, 7);       // coefficients
        for (int i = 0; i < 14; ++i) wavefiles::put16(extra, 0);
        c.push_back({"ms-adpcm-absurd", wavefiles::wave(2, 2, 44100, 4, Bytes(512, 1), extra, 8)});
    }
    {
        // IMA ADPCM with a block alignment larger than the data.
        Bytes extra;
        wavefiles::put16(extra, 2);
        wavefiles::put16(extra, 0xFFFF);
        c.push_back(
            {"ima-adpcm-absurd", wavefiles::wave(0x11, 1, 8000, 4, Bytes(100, 1), extra, 0xFFFF)});
    }
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
    for (const auto& c : badFiles()) {
        SCOPED_TRACE(c.name);
        const auto path = dir_.path() / "bgm.wav";
        wavefiles::writeFile(path, c.file);
        const std::string command = "open \"" + path.string() + "\" alias MIDI";
        SdlMedia media(atOnce);
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

// As the game opens it: most files fail the open itself; the few whose
// headers look right fail once decoded. Either way the game goes on silently
// and the ticks never restart anything.
TEST_F(BadWave, TheGameStaysSilentWithEach) {
    for (const auto& c : badFiles()) {
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

TEST_F(BadWave, TheGoodFileTheyAreMadeFromOpens) {
    const auto path = dir_.path() / "bgm.wav";
    wavefiles::writeFile(path, good());
    SdlMedia media;
    const std::string command = "open \"" + path.string() + "\" alias MIDI";
    EXPECT_EQ(media.mciSendStringA(command.c_str(), nullptr, 0, 0), mci::kOk);
}

TEST_F(BadWave, MissingFileAndFolderNamedBgmWav) {
    SdlMedia media;
    const auto missing = "open \"" + (dir_.path() / "bgm.wav").string() + "\" alias MIDI";
    EXPECT_EQ(media.mciSendStringA(missing.c_str(), nullptr, 0, 0), mci::kFileNotFound);
    std::filesystem::create_directories(dir_.path() / "folder" / "bgm.wav");
    const auto folder = "open \"" + (dir_.path() / "folder" / "bgm.wav").string() + "\" alias MIDI";
    EXPECT_EQ(media.mciSendStringA(folder.c_str(), nullptr, 0, 0), mci::kInvalidFile);
    // The audio subsystem was never needed.
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(BadWave, FileLargerThanTheLimit) {
    const auto path = dir_.path() / "bgm.wav";
    wavefiles::writeFile(path, wavefiles::countingWave(44100));
    SdlMedia::Options options;
    options.maxFileBytes = 1000;
    SdlMedia media(options);
    const std::string command = "open \"" + path.string() + "\" alias MIDI";
    alloccount::Tally tally;
    std::int32_t rc = 0;
    {
        alloccount::Counting counting;
        rc = media.mciSendStringA(command.c_str(), nullptr, 0, 0);
        tally = counting.tally();
    }
    EXPECT_EQ(rc, mci::kInvalidFile);
    EXPECT_LE(tally.largest, 1024u);
}

TEST(RiffWaveCheck, AcceptsAnOddChunkWithoutItsFinalPadByte) {
    Bytes b = wavefiles::wave(1, 1, 8000, 8, Bytes(5, 0x80));
    b.pop_back();  // the pad byte after the 5-byte data chunk
    setLe32(b, kRiffLength, static_cast<std::uint32_t>(b.size() - 8));
    EXPECT_EQ(platform::checkRiffWave(b.data(), b.size()), mci::kOk);
    EXPECT_EQ(platform::checkRiffWave(nullptr, 0), mci::kInvalidFile);
    (void)kData;
}
