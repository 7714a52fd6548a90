#include "check/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace check {

EncodingGuess::EncodingGuess() : cd_(iconv_open("UTF-32LE", "UTF-8")) {
    if (cd_ == reinterpret_cast<void*>(-1)) throw std::runtime_error("iconv cannot read UTF-8");
}

EncodingGuess::~EncodingGuess() {
    iconv_close(static_cast<iconv_t>(cd_));
}

void EncodingGuess::add(std::string_view bytes, std::size_t cp932Invalid) {
    cp932Invalid_ += cp932Invalid;
    bool ascii = true;
    for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || !validUtf8_) return;
    nonAscii_ = true;

    // Line ends are ASCII, so no character spans two lines: each line is
    // decoded on its own.
    iconv_t cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char32_t chunk[256];
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(chunk);
        std::size_t outLeft = sizeof chunk;
        const std::size_t r = iconv(cd, &in, &inLeft, &out, &outLeft);
        const std::size_t n = (sizeof chunk - outLeft) / sizeof(char32_t);
        for (std::size_t i = 0; i < n; ++i) {
            wide_ = wide_ || chunk[i] >= 0x800;
            halfwidth_ = halfwidth_ || (chunk[i] >= 0xFF61 && chunk[i] <= 0xFF9F);
        }
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            validUtf8_ = false;
            return;
        }
    }
}

bool EncodingGuess::looksLikeUtf8() const {
    if (!nonAscii_ || !validUtf8_) return false;
    return cp932Invalid_ > 0 || (wide_ && !halfwidth_);
}

}  // namespace check
