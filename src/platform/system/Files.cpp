#include "platform/system/Files.h"

#include <iconv.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/system/Errors.h"
#include "platform/system/Language.h"
#include "platform/system/RegularFile.h"

namespace platform {

// ---------------------------------------------------------------------------
// Cp932Decoder

Cp932Decoder::Cp932Decoder() {
    // "CP932" is Windows' own table: 0x5C stays a backslash and 0x8740 is
    // a circled one. The strict "SHIFT_JIS" table differs on both.
    cd_ = iconv_open("UTF-16LE", "CP932");
    if (cd_ == reinterpret_cast<void*>(-1)) {
        cd_ = nullptr;
        throw RuntimeError(
            51, trText("RuntimeError", "This system's iconv cannot decode code page 932"));
    }
}

Cp932Decoder::~Cp932Decoder() {
    if (cd_) iconv_close(static_cast<iconv_t>(cd_));
}

Text Cp932Decoder::decode(std::string_view bytes) {
    invalidCount_ = 0;
    firstInvalid_ = 0;
    Text out;
    out.reserve(bytes.size());
    iconv_t cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char16_t chunk[1024];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(chunk);
        std::size_t outLeft = sizeof chunk;
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, (sizeof chunk - outLeft) / sizeof(char16_t));
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or a sequence cut off at the end: one replacement character
        // for the offending byte, then carry on with the byte after it.
        if (invalidCount_++ == 0) firstInvalid_ = static_cast<std::size_t>(in - bytes.data());
        out.push_back(u'\uFFFD');
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

// ---------------------------------------------------------------------------
// LineReader

namespace {
constexpr std::size_t kChunk = 64 * 1024;

std::string badFileNumber(std::int16_t fileNo) {
    return fillIn(trText("RuntimeError", "Bad file number %1"), {std::to_string(fileNo)});
}
}  // namespace

std::unique_ptr<LineReader> LineReader::open(const std::string& path) {
    RegularFile file(path);
    if (!file.regular()) return nullptr;
    std::FILE* f = fdopen(file.fd(), "rb");
    if (f == nullptr) return nullptr;
    file.release();  // now the stream's
    return std::unique_ptr<LineReader>(new LineReader(f));
}

LineReader::LineReader(std::FILE* f) : file_(f), buffer_(kChunk, '\0') {}

LineReader::~LineReader() {
    std::fclose(file_);
}

int LineReader::peekByte() {
    if (pos_ == len_) {
        len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        pos_ = 0;
        if (len_ == 0) return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

int LineReader::getByte() {
    const int c = peekByte();
    if (c >= 0) ++pos_;
    return c;
}

bool LineReader::atEnd() {
    return peekByte() < 0;
}

std::string LineReader::next() {
    std::string line;
    for (;;) {
        if (pos_ == len_ && peekByte() < 0) return line;
        // Scan the buffered bytes for a line end in one go.
        const char* begin = buffer_.data() + pos_;
        const char* end = buffer_.data() + len_;
        const char* p = begin;
        // Only CR ends a line (with the LF after it, if any): a lone LF is
        // part of the line and shows as a row break within it, as scripts
        // written for the game have always relied on.
        while (p != end && *p != '\r') ++p;
        line.append(begin, p);
        pos_ += static_cast<std::size_t>(p - begin);
        if (p == end) continue;
        getByte();
        if (peekByte() == '\n') getByte();
        return line;
    }
}

// ---------------------------------------------------------------------------
// FileTable

FileTable::FileTable() = default;
FileTable::~FileTable() = default;

std::int16_t FileTable::FreeFile() const {
    for (std::int16_t n = 1; n <= 511; ++n)
        if (!open_.count(n)) return n;
    throw RuntimeError(67, trText("RuntimeError", "Too many files open"));
}

void FileTable::OpenForInput(const Text& path, std::int16_t fileNo) {
    const std::string p = toUtf8(path);
    if (fileNo < 1 || fileNo > 511) throw RuntimeError(kBadFileNumber, badFileNumber(fileNo), p);
    if (open_.count(fileNo))
        throw RuntimeError(kFileAlreadyOpen, trText("RuntimeError", "File already open"),
                           open_.at(fileNo).path);
    auto reader = LineReader::open(p);
    if (!reader) {
        struct stat st {};
        if (::stat(p.c_str(), &st) == 0)
            throw RuntimeError(75, trText("RuntimeError", "The file cannot be read as a text file"),
                               p);
        throw RuntimeError(kFileNotFound, trText("RuntimeError", "File not found"), p);
    }
    open_[fileNo] = OpenFile{std::move(reader), p, 0};
}

FileTable::OpenFile& FileTable::get(std::int16_t fileNo) {
    auto it = open_.find(fileNo);
    if (it == open_.end()) throw RuntimeError(kBadFileNumber, badFileNumber(fileNo));
    return it->second;
}

Text FileTable::LineInput(std::int16_t fileNo) {
    OpenFile& f = get(fileNo);
    if (f.reader->atEnd()) {
        throw RuntimeError(kInputPastEnd,
                           f.linesRead == 0
                               ? trText("RuntimeError", "Input past end of file: the file is empty")
                               : trText("RuntimeError", "Input past end of file"),
                           f.path);
    }
    ++f.linesRead;
    return decoder_.decode(f.reader->next());
}

bool FileTable::Eof(std::int16_t fileNo) {
    return get(fileNo).reader->atEnd();
}

void FileTable::Close(std::int16_t fileNo) {
    if (!open_.erase(fileNo)) throw RuntimeError(kBadFileNumber, badFileNumber(fileNo));
}

std::string FileTable::pathOf(std::int16_t fileNo) const {
    auto it = open_.find(fileNo);
    return it == open_.end() ? std::string() : it->second.path;
}

std::int64_t FileTable::lineNumberOf(std::int16_t fileNo) const {
    auto it = open_.find(fileNo);
    return it == open_.end() ? 0 : it->second.linesRead;
}

}  // namespace platform
