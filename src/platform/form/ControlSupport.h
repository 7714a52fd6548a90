#pragma once
// Conversions and failures that every control shares. Private to the
// platform's controls.

#include <QColor>
#include <QString>

#include "platform/form/Units.h"
#include "platform/system/Text.h"

namespace platform {

QColor toQColor(OleColor c);
int toPx(double twips);
[[noreturn]] void invalidProperty(const char* what);
// Buttons treat '&' as a mnemonic marker; captions are shown literally.
QString literalButtonText(const Text& caption);

}  // namespace platform
