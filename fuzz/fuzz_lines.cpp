// Fuzz target: the line reader and the code page 932 decoder over any bytes.
//
// The input is written to a file and read back twice: once as it is, and
// once behind a filler that puts the reader's 64 KiB buffer boundary at an
// input-chosen byte (so a CR at the end of one buffer and its LF at the start
// of the next are met). Invariants:
// - the raw lines are exactly those of a plain reference splitter (a line
//   ends at CR LF or CR, a lone LF is part of its line; a final line end
//   makes no extra line);
// - every byte is accounted for: the lines' lengths plus the line-end bytes
//   make the input's size, and the number of lines follows from the line ends;
// - the file table gives the same number of lines, decoded, none holding a
//   CR, and then fails with "input past end of file";
// - the whole input decodes to text in the BMP, no longer than the input,
//   with one U+FFFD per undecodable sequence counted, exactly as many CRs
//   and LFs as the input has such bytes, and, CRs and LFs left out, the same
//   text as the lines decoded one by one.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/system/Errors.h"
#include "platform/system/Files.h"

namespace {

std::string gPath;

constexpr std::size_t kReaderChunk = 64 * 1024;  // LineReader's buffer

std::vector<std::string> referenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false;  // a line has begun since the last line end
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            lines.push_back(current);
            current.clear();
            pending = false;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(current);
    return lines;
}

void writeFile(std::string_view bytes) {
    std::ofstream out(gPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

std::vector<std::string> readRawLines() {
    auto reader = platform::LineReader::open(gPath);
    FUZZ_CHECK(reader != nullptr);
    std::vector<std::string> lines;
    while (!reader->atEnd()) lines.push_back(reader->next());
    FUZZ_CHECK(reader->atEnd());  // stays at the end
    return lines;
}

void checkAccounting(std::string_view bytes, const std::vector<std::string>& lines) {
    std::size_t cr = 0, crlf = 0;
    std::size_t afterLastEnd = 0;  // where the bytes after the last line end begin
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') continue;
        ++cr;
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++crlf;
        afterLastEnd = i + 1 + (i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 1 : 0);
    }
    std::size_t lineBytes = 0;
    for (const auto& line : lines) {
        FUZZ_CHECK(line.find('\r') == std::string::npos);
        lineBytes += line.size();
    }
    FUZZ_CHECK(lineBytes + cr + crlf == bytes.size());
    const bool lastWithoutEnd = afterLastEnd < bytes.size();
    FUZZ_CHECK(lines.size() == cr + (lastWithoutEnd ? 1 : 0));
}

bool hasLineEnd(const platform::Text& text) {
    return text.find(u'\r') != platform::Text::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gPath = fuzz::scratchFolder("pirokko-fuzz-lines") + "/script.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> expected = referenceLines(bytes);

    // 1. The raw lines, as they are.
    writeFile(bytes);
    const std::vector<std::string> raw = readRawLines();
    FUZZ_CHECK(raw == expected);
    checkAccounting(bytes, raw);

    // 2. The same lines through the file table, decoded.
    platform::Cp932Decoder decoder;
    platform::Text joinedLines;
    {
        platform::FileTable files;
        const std::int16_t no = files.FreeFile();
        FUZZ_CHECK(no == 1);
        files.OpenForInput(platform::fromUtf8(gPath), no);
        std::size_t count = 0;
        while (!files.Eof(no)) {
            FUZZ_CHECK(count < expected.size());
            const platform::Text line = files.LineInput(no);
            FUZZ_CHECK(!hasLineEnd(line));
            FUZZ_CHECK(line == decoder.decode(expected[count]));
            FUZZ_CHECK(files.lineNumberOf(no) == static_cast<std::int64_t>(count + 1));
            for (const char16_t c : line)
                if (c != u'\n') joinedLines += c;
            ++count;
        }
        FUZZ_CHECK(count == expected.size());
        bool pastEnd = false;
        try {
            (void)files.LineInput(no);
        } catch (const platform::RuntimeError& e) {
            pastEnd = e.number() == platform::kInputPastEnd;
        }
        FUZZ_CHECK(pastEnd);
        files.Close(no);
        FUZZ_CHECK(!files.isOpen(no));
    }

    // 3. The whole input decoded at once.
    const platform::Text all = decoder.decode(bytes);
    FUZZ_CHECK(all.size() <= size);
    std::size_t replacements = 0, cr = 0, lf = 0;
    platform::Text withoutBreaks;
    for (const char16_t c : all) {
        FUZZ_CHECK(c < 0xD800 || c > 0xDFFF);
        if (c == u'\uFFFD') ++replacements;
        if (c == u'\r') ++cr;
        if (c == u'\n') ++lf;
        if (c != u'\r' && c != u'\n') withoutBreaks += c;
    }
    FUZZ_CHECK(replacements == decoder.lastInvalidCount());
    if (replacements > 0) FUZZ_CHECK(decoder.lastFirstInvalidOffset() < size);
    std::size_t crBytes = 0, lfBytes = 0;
    for (const char b : bytes) {
        crBytes += b == '\r';
        lfBytes += b == '\n';
    }
    FUZZ_CHECK(cr == crBytes && lf == lfBytes);
    FUZZ_CHECK(withoutBreaks == joinedLines);

    // 4. The input behind a filler line, so that the reader's buffer boundary
    // falls before input byte k.
    if (size > 0) {
        const std::size_t k = data[0] % (size + 1);
        const std::string filler(kReaderChunk - k, 'x');
        writeFile(filler + std::string(bytes));
        // The filler holds no line end: it only lengthens the first line.
        std::vector<std::string> shiftedLines = expected;
        shiftedLines.front().insert(0, filler);
        FUZZ_CHECK(readRawLines() == shiftedLines);
    }
    return 0;
}
