#include "platform/system/Files.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/common/RegularFile.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

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
