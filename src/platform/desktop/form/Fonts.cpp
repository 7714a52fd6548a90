#include "platform/form/Fonts.h"

#include <QFont>
#include <QStringList>

namespace platform {

void substituteFace(const Text& face, const std::vector<Text>& substitutes) {
    QStringList names;
    for (const Text& s : substitutes) names.append(QString::fromStdU16String(s));
    QFont::insertSubstitutions(QString::fromStdU16String(face), names);
}

}  // namespace platform
