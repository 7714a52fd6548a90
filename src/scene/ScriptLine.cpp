#include "scene/ScriptLine.h"

#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>

namespace scene {

namespace {
// The toolkit puts the C library in the user's locale; a count reads the
// same under every one, so it is read in the "C" locale, made once.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}
}  // namespace

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
    // Read as the C library would in its "C" locale, whatever the user's:
    // the toolkit switches the program to the user's locale, where the
    // decimal mark may be a comma.
    std::string ascii;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (negative) ascii += '-';
    std::size_t digits = 0;
    // The power of ten of the first digit that is not zero, for telling a
    // count too large for a double from one too small.
    std::optional<long> lead;
    long place = 0;
    while (i < n && isDigit(text[i])) {
        ascii += static_cast<char>(text[i]);
        if (text[i++] != u'0' && !lead) lead = place;
        ++digits, ++place;
    }
    if (lead) *lead = place - 1 - *lead;
    if (i < n && text[i] == u'.') {
        ascii += '.';
        ++i;
        long fraction = -1;
        while (i < n && isDigit(text[i])) {
            ascii += static_cast<char>(text[i]);
            if (text[i++] != u'0' && !lead) lead = fraction;
            ++digits, --fraction;
        }
    }
    if (digits == 0) return {RepeatCount::kNotANumber, 0};
    long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        std::string written = "e";
        std::size_t j = i + 1;
        bool below = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            below = text[j] == u'-';
            written += static_cast<char>(text[j++]);
        }
        std::size_t expDigits = 0;
        while (j < n && isDigit(text[j])) {
            written += static_cast<char>(text[j]);
            // Far beyond any double's range, it is only the sign that counts.
            exponent = std::min(exponent * 10 + (text[j++] - u'0'), 1000000L);
            ++expDigits;
        }
        if (expDigits == 0) return {RepeatCount::kNotANumber, 0};
        if (below) exponent = -exponent;
        ascii += written;
        i = j;
    }
    while (i < n && isBlank(text[i])) ++i;
    if (i != n) return {RepeatCount::kNotANumber, 0};
    errno = 0;
    char* end = nullptr;
    const double value = strtod_l(ascii.c_str(), &end, cLocale());
    if (errno == ERANGE) {
        // Out of range one way or the other: a count too small is zero, as
        // the C library gives it.
        if (lead && *lead + exponent >= 0) return {RepeatCount::kOverflow, 0};
        return {RepeatCount::kOk, negative ? -0.0 : 0.0};
    }
    if (end != ascii.c_str() + ascii.size()) return {RepeatCount::kNotANumber, 0};
    return {RepeatCount::kOk, value};
}

}  // namespace scene
