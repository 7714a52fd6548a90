// Prints what the desktop's code page 932 decoder makes of every one- and
// two-byte input, and of every two bytes followed by 0x40 (which shows
// whether the second byte was taken as a trail or read again on its own), as
// JSON: {"singles": [256 strings], "pairs": [65536], "triples": [65536]},
// indexed by lead * 256 + trail. The browser's decoder is held against it.

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/system/Files.h"

namespace {

void putJsonString(std::string& out, const platform::Text& text) {
    static const char* hex = "0123456789abcdef";
    out += '"';
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
        }
    }
    out += '"';
}

void putArray(std::string& out, const char* name, platform::Cp932Decoder& decoder, int length) {
    out += '"';
    out += name;
    out += "\":[";
    const int count = length == 1 ? 256 : 65536;
    for (int i = 0; i < count; ++i) {
        char bytes[3];
        if (length == 1) {
            bytes[0] = static_cast<char>(i);
        } else {
            bytes[0] = static_cast<char>(i >> 8);
            bytes[1] = static_cast<char>(i & 0xFF);
            bytes[2] = 0x40;
        }
        if (i) out += ',';
        putJsonString(out,
                      decoder.decode(std::string_view(bytes, static_cast<std::size_t>(length))));
    }
    out += ']';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::puts(
            "Usage: cp932_dump\nPrints the desktop decoder's output for every 1-3 byte probe as "
            "JSON.");
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr, "Usage: cp932_dump\n");
        return 2;
    }
    platform::Cp932Decoder decoder;
    std::string out = "{";
    putArray(out, "singles", decoder, 1);
    out += ',';
    putArray(out, "pairs", decoder, 2);
    out += ',';
    putArray(out, "triples", decoder, 3);
    out += "}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::ferror(stdout) ? 1 : 0;
}
