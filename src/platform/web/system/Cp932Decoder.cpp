// Code page 932 through the page's decoder (web/cp932.mjs): the browser's own
// Shift_JIS table, cut into sequences as the desktop's iconv cuts them.

#include <cstdint>
#include <vector>

#include "platform/system/Files.h"

extern "C" int pk_cp932(const char* bytes, int length, char16_t* out, std::uint32_t* report);

namespace platform {

Cp932Decoder::Cp932Decoder() : cd_(nullptr) {}
Cp932Decoder::~Cp932Decoder() = default;

Text Cp932Decoder::decode(std::string_view bytes) {
    // Never more code units than bytes.
    Text out(bytes.size(), u'\0');
    std::uint32_t report[2] = {0, 0};
    const int n = pk_cp932(bytes.data(), static_cast<int>(bytes.size()), out.data(), report);
    out.resize(static_cast<std::size_t>(n));
    invalidCount_ = report[0];
    firstInvalid_ = report[1];
    return out;
}

}  // namespace platform
