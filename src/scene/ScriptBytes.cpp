#include "scene/ScriptBytes.h"

namespace scene {

std::int32_t nextUtf8(std::string_view bytes, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return bytes[at++];
    std::size_t length = 0;
    std::int32_t c = 0;
    std::int32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        ++at;
        return -1;
    }
    if (at + length > bytes.size()) {
        ++at;
        return -1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return -1;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++at;
        return -1;
    }
    at += length;
    return c;
}

void ScriptBytes::add(std::string_view piece) {
    for (const char c : piece) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (c == '\n') {
                endLine(Ending::kCrLf);
                continue;
            }
            endLine(Ending::kCr);
        }
        if (c == '\r') {
            pendingCr_ = true;
        } else {
            if (c == '\n') ++loneLineFeeds_;
            line_ += c;
        }
    }
}

void ScriptBytes::finish() {
    if (pendingCr_) {
        pendingCr_ = false;
        endLine(Ending::kCr);
    }
    // A last line without a line end is still a line.
    if (!line_.empty()) endLine(Ending::kNone);
}

void ScriptBytes::endLine(Ending ending) {
    ++lines_;
    if (ending != Ending::kNone) ++lineEnds_;
    // CR CR LF reads as a line ended by its CR, then an empty line.
    if (ending == Ending::kCrLf && line_.empty() && lastEnding_ == Ending::kCr) ++doubled_;
    lastEnding_ = ending;

    bool ascii = true;
    for (const char c : line_) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii) {
        if (firstNonAscii_ == 0) firstNonAscii_ = lines_;
        nonAscii_ = true;
        cp932_.decode(line_);
        const std::size_t bad = cp932_.lastInvalidCount();
        cp932Invalid_ += bad;
        if (bad > 0 && firstUndecodable_ == 0) {
            firstUndecodable_ = lines_;
            const std::string_view before =
                std::string_view(line_).substr(0, cp932_.lastFirstInvalidOffset());
            firstUndecodableColumn_ = static_cast<std::int64_t>(cp932_.decode(before).size()) + 1;
        }
        // Line ends are ASCII, so no character spans two lines.
        for (std::size_t at = 0; validUtf8_ && at < line_.size();) {
            const std::int32_t c = nextUtf8(line_, at);
            validUtf8_ = c >= 0;
            wide_ = wide_ || c >= 0x800;
            halfwidth_ = halfwidth_ || (c >= 0xFF61 && c <= 0xFF9F);
        }
    }
    line_.clear();
}

bool ScriptBytes::utf8() const {
    if (!nonAscii_ || !validUtf8_) return false;
    return cp932Invalid_ > 0 || (wide_ && !halfwidth_);
}

}  // namespace scene
