#include "platform/form/ControlSupport.h"

#include <cmath>

#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

QColor toQColor(OleColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int toPx(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

[[noreturn]] void invalidProperty(const char* what) {
    throw RuntimeError(380, fillIn(trText("RuntimeError", "Invalid property value: %1"), {what}));
}

// Buttons treat '&' as a mnemonic marker; captions are shown literally.
QString literalButtonText(const Text& caption) {
    return QString::fromStdU16String(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace platform
