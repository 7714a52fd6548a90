#include "platform/system/Language.h"

namespace platform {

std::string fillIn(const std::string& pattern, std::initializer_list<std::string> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto n = static_cast<std::size_t>(next - '0');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n <= args.size()) {
            out += *(args.begin() + (n - 1));
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace platform
