// Code page 932 through the C library's iconv, whose "CP932" table is
// Windows' own.

#include <iconv.h>

#include <cerrno>

#include "platform/system/Errors.h"
#include "platform/system/Files.h"
#include "platform/system/Language.h"

namespace platform {

Cp932Decoder::Cp932Decoder() {
    // "CP932" is Windows' own table: 0x5C stays a backslash and 0x8740 is
    // a circled one. The strict "SHIFT_JIS" table differs on both.
    cd_ = iconv_open("UTF-16LE", "CP932");
    if (cd_ == reinterpret_cast<void*>(-1)) {
        cd_ = nullptr;
        throw RuntimeError(
            51, trText("RuntimeError", "This system's iconv cannot decode code page 932"));
    }
}

Cp932Decoder::~Cp932Decoder() {
    if (cd_) iconv_close(static_cast<iconv_t>(cd_));
}

Text Cp932Decoder::decode(std::string_view bytes) {
    invalidCount_ = 0;
    firstInvalid_ = 0;
    Text out;
    out.reserve(bytes.size());
    iconv_t cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char16_t chunk[1024];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(chunk);
        std::size_t outLeft = sizeof chunk;
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, (sizeof chunk - outLeft) / sizeof(char16_t));
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or a sequence cut off at the end: one replacement character
        // for the offending byte, then carry on with the byte after it.
        if (invalidCount_++ == 0) firstInvalid_ = static_cast<std::size_t>(in - bytes.data());
        out.push_back(u'\uFFFD');
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace platform
