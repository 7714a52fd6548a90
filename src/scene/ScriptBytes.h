#pragma once
// How a script file's bytes are written. The game reads code page 932 with
// CR LF line ends; a Linux editor saves UTF-8 with LF ones, and converting
// the line ends twice doubles them. The checker, its --fix and the preview
// all judge a file by this one reading.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system/Files.h"

namespace scene {

class ScriptBytes {
  public:
    // The file's bytes, in order, in pieces of any size.
    void add(std::string_view piece);
    // After the last piece.
    void finish();

    // Valid UTF-8 with text beyond ASCII that does not read sensibly as code
    // page 932: bytes that do not decode there, or (all of it decoding)
    // characters of three UTF-8 bytes and up, which Japanese text is made
    // of. Code page 932 text almost never forms valid UTF-8 at all; the rule
    // for the rest keeps short half-width kana ("ﾃｽ" is valid UTF-8 for "ý")
    // from being taken for UTF-8.
    bool utf8() const;
    // No CR at all, but LFs: the game reads the whole file as one line.
    bool lineFeedEnds() const { return lineEnds_ == 0 && loneLineFeeds_ > 0; }
    // Every line end CR CR LF: the game reads an empty line after each line.
    bool doubledEnds() const { return doubled_ > 0 && 2 * doubled_ == lineEnds_; }
    bool needsConverting() const { return utf8() || lineFeedEnds() || doubledEnds(); }

    // Where the game's reading first goes wrong, as the game counts lines
    // (from 1) and characters (from 1); 0 when nothing does.
    std::int64_t firstNonAsciiLine() const { return firstNonAscii_; }
    std::int64_t firstUndecodableLine() const { return firstUndecodable_; }
    std::int64_t firstUndecodableColumn() const { return firstUndecodableColumn_; }

  private:
    enum class Ending { kNone, kCr, kCrLf };
    void endLine(Ending ending);

    platform::Cp932Decoder cp932_;
    std::string line_;  // the bytes of the line being read
    bool pendingCr_ = false;
    Ending lastEnding_ = Ending::kNone;
    std::int64_t lines_ = 0;  // lines ended so far
    std::int64_t lineEnds_ = 0;
    std::int64_t doubled_ = 0;
    std::int64_t loneLineFeeds_ = 0;
    std::int64_t firstNonAscii_ = 0;
    std::int64_t firstUndecodable_ = 0;
    std::int64_t firstUndecodableColumn_ = 0;
    // UTF-8, over the whole file.
    bool nonAscii_ = false;
    bool validUtf8_ = true;
    bool wide_ = false;       // a character from U+0800 up
    bool halfwidth_ = false;  // a half-width kana, U+FF61 to U+FF9F
    std::size_t cp932Invalid_ = 0;
};

// Decodes UTF-8 one character at a time. Returns the character and moves
// `at` past it, or returns -1 (moving `at` one byte on) where the bytes are
// not well-formed UTF-8: overlong forms, surrogates and values beyond
// U+10FFFF included.
std::int32_t nextUtf8(std::string_view bytes, std::size_t& at);

}  // namespace scene
