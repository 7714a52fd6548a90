#include "check/Games.h"

#include <cstdint>
#include <fstream>

CleanGame::CleanGame() {
    for (const char* name : {"opn", "0", "1", "2", "3", "4", "5", "6"}) {
        folder.script(name, {"A", "tugi", ""});
        folder.picture(name);
    }
    folder.script("7", {"A", ">end"});
    folder.picture("7");
    wave();
}

void CleanGame::write(const std::string& relative, const std::string& bytes) const {
    std::ofstream(folder.path() + "/" + relative, std::ios::binary) << bytes;
}

void CleanGame::wave() {
    auto u16 = [](std::uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
    auto u32 = [&](std::uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); };
    // A tenth of a second of 16-bit mono silence at 44100 frames a second.
    const std::string data(8820, '\0');
    const std::string format = u16(1) + u16(1) + u32(44100) + u32(88200) + u16(2) + u16(16);
    write("bgm.wav", "RIFF" + u32(4 + 8 + 16 + 8 + data.size()) + "WAVE" + "fmt " + u32(16) +
                         format + "data" + u32(data.size()) + data);
}

std::vector<std::string> where(const std::vector<check::Finding>& findings) {
    std::vector<std::string> out;
    for (const auto& f : findings) {
        std::string w = f.file;
        for (const long long n : {f.line, f.column})
            if (n > 0) w.append(":").append(std::to_string(n));
        out.push_back(w.append(f.severity == check::Severity::kError ? " error" : " warning"));
    }
    return out;
}
