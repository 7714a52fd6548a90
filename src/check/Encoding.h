#pragma once
// Tells a script saved as UTF-8 (as Linux editors save Japanese) from one in
// code page 932, which is what the game reads, line by line as it is read.

#include <cstddef>
#include <string_view>

namespace check {

class EncodingGuess {
  public:
    EncodingGuess();
    ~EncodingGuess();
    EncodingGuess(const EncodingGuess&) = delete;
    EncodingGuess& operator=(const EncodingGuess&) = delete;

    // One line's bytes, and how many of them did not decode as code page 932.
    void add(std::string_view bytes, std::size_t cp932Invalid);

    // Valid UTF-8 with text beyond ASCII that does not read sensibly as code
    // page 932: bytes that do not decode there, or (all of it decoding)
    // characters of three UTF-8 bytes and up, which Japanese text is made
    // of. Code page 932 text almost never forms valid UTF-8 at all; the rule
    // for the rest keeps short half-width kana ("ﾃｽ" is valid UTF-8 for "ý")
    // from being taken for UTF-8.
    bool looksLikeUtf8() const;

  private:
    void* cd_;
    bool nonAscii_ = false;
    bool validUtf8_ = true;
    bool wide_ = false;       // a character from U+0800 up
    bool halfwidth_ = false;  // a half-width kana, U+FF61 to U+FF9F
    std::size_t cp932Invalid_ = 0;
};

}  // namespace check
