#include "platform/system/Language.h"

#include <algorithm>
#include <cstring>

#include "platform/web/form/Page.h"
#include "platform/web/system/Messages.h"

namespace platform {

namespace {
bool& japanese() {
    static bool j = false;
    return j;
}
}  // namespace

std::string trText(const char* context, const char* source) {
    if (!japanese()) return source;
    const Message* begin = kJapaneseMessages;
    const Message* end = begin + kJapaneseMessageCount;
    const auto less = [](const Message& a, const Message& b) {
        const int c = std::strcmp(a.context, b.context);
        return c != 0 ? c < 0 : std::strcmp(a.source, b.source) < 0;
    };
    const Message key{context, source, nullptr};
    const Message* found = std::lower_bound(begin, end, key, less);
    if (found == end || less(key, *found) || !*found->translation) return source;
    return found->translation;
}

// The browser's first language decides, as the session's does on the
// desktop.
void useSessionLanguage() {
    japanese() = pk_language() != 0;
}

}  // namespace platform
