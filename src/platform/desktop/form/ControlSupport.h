#pragma once
// Conversions and failures that every control shares. Private to the
// platform's controls.

#include <QColor>
#include <QString>

#include "platform/common/InvalidProperty.h"
#include "platform/form/Units.h"
#include "platform/system/Text.h"

namespace platform {

QColor toQColor(OleColor c);
int toPx(double twips);
// Buttons treat '&' as a mnemonic marker; captions are shown literally.
QString literalButtonText(const Text& caption);

}  // namespace platform
