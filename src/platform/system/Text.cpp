#include "platform/system/Text.h"

#include <QString>

namespace platform {

Text fromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

std::string toUtf8(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

Text Str(long long n) {
    const std::string s = std::to_string(n);
    return Text(s.begin(), s.end());
}

}  // namespace platform
