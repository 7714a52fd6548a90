#include "platform/form/Fonts.h"

#include <map>

#include "platform/web/form/WebFaces.h"

namespace platform {

namespace {
std::map<Text, std::vector<Text>>& standIns() {
    static std::map<Text, std::vector<Text>> s;
    return s;
}

Text quoted(const Text& face) {
    Text q = u"\"";
    for (char16_t c : face) {
        if (c == u'"' || c == u'\\') q += u'\\';
        q += c;
    }
    return q + u"\"";
}
}  // namespace

void substituteFace(const Text& face, const std::vector<Text>& substitutes) {
    standIns()[face] = substitutes;
}

// The browser takes the first face of the list it has, so the list is the
// substitution itself; no font is downloaded.
Text cssFaces(const Text& face) {
    Text list = quoted(face);
    const auto it = standIns().find(face);
    if (it != standIns().end())
        for (const Text& s : it->second) list += u", " + quoted(s);
    return list + u", sans-serif";
}

}  // namespace platform
