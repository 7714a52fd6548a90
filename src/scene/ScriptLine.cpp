#include "scene/ScriptLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace scene {

using platform::startsWith;
using platform::TextView;

LineKind classify(TextView line) {
    if (startsWith(line, u"tugi")) return LineKind::kChooser;
    if (startsWith(line, u"--")) return LineKind::kRepeat;
    if (startsWith(line, u">end")) return LineKind::kTitle;
    if (startsWith(line, u"-")) return LineKind::kNewPage;
    if (line.empty()) return LineKind::kEmpty;
    return LineKind::kText;
}

bool endsPageBefore(TextView next) {
    return next.empty() || startsWith(next, u">game") || startsWith(next, u"-") ||
           startsWith(next, u">end") || startsWith(next, u">ive") || startsWith(next, u"tugi");
}

bool holdsTimer(TextView next) {
    return startsWith(next, u"-") || next.empty() || startsWith(next, u">end") ||
           startsWith(next, u">game") || startsWith(next, u"tugi");
}

RepeatCount parseRepeatCount(TextView text) {
    // Accepted: blanks, an optional sign, digits with an optional fraction
    // and exponent, blanks. Everything else, the empty count included, is
    // not a number.
    std::size_t i = 0, n = text.size();
    auto isBlank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    while (i < n && isBlank(text[i])) ++i;
    std::string ascii;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) ascii += static_cast<char>(text[i++]), ++digits;
    if (i < n && text[i] == u'.') {
        ascii += '.';
        ++i;
        while (i < n && isDigit(text[i])) ascii += static_cast<char>(text[i++]), ++digits;
    }
    if (digits == 0) return {RepeatCount::kNotANumber, 0};
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) exponent += static_cast<char>(text[j++]);
        std::size_t expDigits = 0;
        while (j < n && isDigit(text[j])) exponent += static_cast<char>(text[j++]), ++expDigits;
        if (expDigits == 0) return {RepeatCount::kNotANumber, 0};
        ascii += exponent;
        i = j;
    }
    while (i < n && isBlank(text[i])) ++i;
    if (i != n) return {RepeatCount::kNotANumber, 0};
    errno = 0;
    const double value = std::strtod(ascii.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(value)) return {RepeatCount::kOverflow, 0};
    return {RepeatCount::kOk, value};
}

}  // namespace scene
