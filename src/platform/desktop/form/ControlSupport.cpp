#include "platform/desktop/form/ControlSupport.h"

#include <cmath>

namespace platform {

QColor toQColor(OleColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int toPx(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// Buttons treat '&' as a mnemonic marker; captions are shown literally.
QString literalButtonText(const Text& caption) {
    return QString::fromStdU16String(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace platform
