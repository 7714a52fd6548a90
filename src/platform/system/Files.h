#pragma once
// Sequential text input by file number: open, line input, end-of-file test,
// close. Lines end at CR LF or a lone CR; a lone LF stays inside its line.
// Each line is decoded from code page 932 as it is read, so a script of any
// size is streamed, never loaded whole.

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/system/Text.h"

namespace platform {

// Decodes code page 932 (Windows-31J) bytes. A byte sequence that does not
// decode becomes U+FFFD and decoding goes on after it.
class Cp932Decoder {
  public:
    Cp932Decoder();
    ~Cp932Decoder();
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;

    Text decode(std::string_view bytes);
    // How many undecodable sequences the last decode met, and where the first
    // one started (byte offset), for authors' tools.
    std::size_t lastInvalidCount() const { return invalidCount_; }
    std::size_t lastFirstInvalidOffset() const { return firstInvalid_; }

  private:
    // The backend's decoder, where it keeps one.
    [[maybe_unused]] void* cd_ = nullptr;
    std::size_t invalidCount_ = 0;
    std::size_t firstInvalid_ = 0;
};

// Reads raw lines from a file without decoding them.
class LineReader {
  public:
    // Returns null when the file cannot be opened.
    static std::unique_ptr<LineReader> open(const std::string& path);
    ~LineReader();

    // False when no line is left (the end-of-file test).
    bool atEnd();
    // The next line without its line end. Call only when !atEnd().
    std::string next();

  private:
    explicit LineReader(std::FILE* f);
    int peekByte();
    int getByte();

    std::FILE* file_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

class FileTable {
  public:
    FileTable();
    ~FileTable();

    // The lowest file number not in use, from 1 to 511.
    std::int16_t FreeFile() const;
    void OpenForInput(const Text& path, std::int16_t fileNo);
    Text LineInput(std::int16_t fileNo);
    bool Eof(std::int16_t fileNo);
    void Close(std::int16_t fileNo);
    bool isOpen(std::int16_t fileNo) const { return open_.count(fileNo) != 0; }
    // The path a file number was opened with, for messages.
    std::string pathOf(std::int16_t fileNo) const;
    // Lines read so far from an open file number (1 after the first line).
    std::int64_t lineNumberOf(std::int16_t fileNo) const;

  private:
    struct OpenFile {
        std::unique_ptr<LineReader> reader;
        std::string path;
        std::int64_t linesRead = 0;
    };
    OpenFile& get(std::int16_t fileNo);

    std::map<std::int16_t, OpenFile> open_;
    Cp932Decoder decoder_;
};

}  // namespace platform
