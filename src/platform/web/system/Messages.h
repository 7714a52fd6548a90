#pragma once
// The Japanese messages, built from translations/pirokko_ja.ts, sorted by
// context and then by source text.

#include <cstddef>

namespace platform {

struct Message {
    const char* context;
    const char* source;
    const char* translation;
};

extern const Message kJapaneseMessages[];
extern const std::size_t kJapaneseMessageCount;

}  // namespace platform
