#include "platform/common/MciCommand.h"

#include <cstring>

namespace platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Word {
    std::string_view text;
    bool quoted = false;
};

// Splits the command into words one at a time.
class Words {
  public:
    explicit Words(std::string_view text) : text_(text) {}

    // Returns kOk with `has` false at the end of the text.
    std::int32_t next(Word& word, bool& has) {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        if (pos_ == text_.size()) {
            has = false;
            return mci::kOk;
        }
        has = true;
        if (text_[pos_] == '"') {
            const std::size_t close = text_.find('"', pos_ + 1);
            if (close == std::string_view::npos) return mci::kNoClosingQuote;
            word.text = text_.substr(pos_ + 1, close - pos_ - 1);
            word.quoted = true;
            pos_ = close + 1;
            // The closing mark must end the word.
            if (pos_ < text_.size() && !isBlank(text_[pos_])) return mci::kExtraCharacters;
            return mci::kOk;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_])) {
            if (text_[pos_] == '"') return mci::kExtraCharacters;
            ++pos_;
        }
        word.text = text_.substr(start, pos_ - start);
        word.quoted = false;
        return mci::kOk;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool isKeyword(const Word& w, std::string_view keyword) {
    return !w.quoted && equalsIgnoringCase(w.text, keyword);
}

std::int32_t parseMilliseconds(std::string_view text, std::uint32_t& out) {
    if (text.empty() || text.size() > 10) return mci::kBadInteger;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return mci::kBadInteger;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFull) return mci::kBadInteger;
    out = static_cast<std::uint32_t>(value);
    return mci::kOk;
}

// Reads the device name that follows the command word (or the open's "alias").
std::int32_t readAlias(Words& words, std::string_view& alias) {
    Word w;
    bool has = false;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    if (!has) return mci::kMissingDeviceName;
    if (w.quoted) return mci::kInvalidDeviceName;
    alias = w.text;
    return mci::kOk;
}

// Reads the trailing optional words: only "notify" is allowed, once.
std::int32_t readNotifyOnly(Words& words, MciCommand& out) {
    for (;;) {
        Word w;
        bool has = false;
        if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
        if (!has) return mci::kOk;
        if (!isKeyword(w, "notify")) return mci::kUnrecognizedKeyword;
        if (out.notify) return mci::kDuplicateFlags;
        out.notify = true;
    }
}

std::int32_t parseOpen(Words& words, MciCommand& out) {
    Word w;
    bool has = false;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    if (!has || w.text.empty()) return mci::kFilenameRequired;
    out.path = w.text;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    if (!has) return mci::kMissingParameter;  // this layer needs an alias
    if (!isKeyword(w, "alias")) return mci::kUnrecognizedKeyword;
    if (const auto rc = readAlias(words, out.alias); rc != mci::kOk) return rc;
    return readNotifyOnly(words, out);
}

std::int32_t parsePlay(Words& words, MciCommand& out) {
    if (const auto rc = readAlias(words, out.alias); rc != mci::kOk) return rc;
    for (;;) {
        Word w;
        bool has = false;
        if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
        if (!has) return mci::kOk;
        if (isKeyword(w, "notify")) {
            if (out.notify) return mci::kDuplicateFlags;
            out.notify = true;
        } else if (isKeyword(w, "from")) {
            if (out.hasFrom) return mci::kDuplicateFlags;
            if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
            if (!has) return mci::kMissingParameter;
            if (w.quoted) return mci::kBadInteger;
            if (const auto rc = parseMilliseconds(w.text, out.fromMs); rc != mci::kOk) return rc;
            out.hasFrom = true;
        } else {
            return mci::kUnrecognizedKeyword;
        }
    }
}

std::int32_t parseSeek(Words& words, MciCommand& out) {
    if (const auto rc = readAlias(words, out.alias); rc != mci::kOk) return rc;
    Word w;
    bool has = false;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    if (!has) return mci::kMissingParameter;
    if (!isKeyword(w, "to")) return mci::kUnrecognizedKeyword;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    if (!has) return mci::kMissingParameter;
    if (!isKeyword(w, "start")) return mci::kUnrecognizedKeyword;
    return readNotifyOnly(words, out);
}

std::int32_t parseStatus(Words& words, MciCommand& out) {
    if (const auto rc = readAlias(words, out.alias); rc != mci::kOk) return rc;
    Word w;
    bool has = false;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    if (!has) return mci::kMissingParameter;
    if (!isKeyword(w, "mode")) return mci::kUnrecognizedKeyword;
    if (const auto rc = words.next(w, has); rc != mci::kOk) return rc;
    return has ? mci::kUnrecognizedKeyword : mci::kOk;
}

std::int32_t parseClose(Words& words, MciCommand& out) {
    if (const auto rc = readAlias(words, out.alias); rc != mci::kOk) return rc;
    return readNotifyOnly(words, out);
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

std::int32_t parseMciCommand(std::string_view text, MciCommand& out) {
    out = MciCommand{};
    Words words(text);
    Word verb;
    bool has = false;
    if (const auto rc = words.next(verb, has); rc != mci::kOk) return rc;
    if (!has) return mci::kMissingCommandString;
    if (verb.quoted) return mci::kUnrecognizedCommand;
    static constexpr struct {
        std::string_view word;
        MciVerb verb;
        std::int32_t (*parse)(Words&, MciCommand&);
    } kVerbs[] = {{"open", MciVerb::Open, parseOpen},
                  {"play", MciVerb::Play, parsePlay},
                  {"seek", MciVerb::Seek, parseSeek},
                  {"status", MciVerb::Status, parseStatus},
                  {"close", MciVerb::Close, parseClose}};
    for (const auto& v : kVerbs) {
        if (equalsIgnoringCase(verb.text, v.word)) {
            out.verb = v.verb;
            return v.parse(words, out);
        }
    }
    return mci::kUnrecognizedCommand;
}

std::int32_t writeMciReply(char* reply, std::uint32_t length, std::string_view text) {
    if (reply == nullptr) return mci::kOk;
    if (length == 0) return mci::kParamOverflow;
    if (text.size() + 1 > length) {
        reply[0] = '\0';
        return mci::kParamOverflow;
    }
    std::memcpy(reply, text.data(), text.size());
    reply[text.size()] = '\0';
    return mci::kOk;
}

}  // namespace platform
