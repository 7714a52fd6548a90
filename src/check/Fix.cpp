#include "check/Fix.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "app/GameFolder.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Language.h"
#include "scene/ScriptBytes.h"

namespace check {

namespace {

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t at = 0;
    for (std::size_t found; (found = text.find(from, at)) != std::string::npos;) {
        out.append(text, at, found - at).append(to);
        at = found + from.size();
    }
    return out.append(text, at, std::string::npos);
}

// Line and column (both from 1, the column in characters) of byte `offset`
// of UTF-8 text with the game's line ends.
std::pair<long long, long long> placeOf(std::string_view text, std::size_t offset) {
    long long line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] != '\r') continue;
        ++line;
        lineStart = i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
    }
    long long column = 1;
    for (std::size_t at = lineStart; at < offset; ++column) scene::nextUtf8(text, at);
    return {line, column};
}

class Cp932Encoder {
  public:
    Cp932Encoder() : cd_(iconv_open("CP932", "UTF-8")) {
        // "CP932" is Windows' table, the one the game decodes with.
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(
                platform::trText("Check", "this system's iconv cannot write code page 932"));
    }
    ~Cp932Encoder() { iconv_close(cd_); }
    Cp932Encoder(const Cp932Encoder&) = delete;
    Cp932Encoder& operator=(const Cp932Encoder&) = delete;

    // The text in code page 932; the byte offset of each character it lacks
    // goes to `missing`.
    std::string encode(std::string_view utf8, std::vector<std::size_t>& missing) {
        std::string out;
        out.reserve(utf8.size());
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(utf8.data());
        std::size_t inLeft = utf8.size();
        char chunk[4096];
        while (inLeft > 0) {
            char* o = chunk;
            std::size_t outLeft = sizeof chunk;
            const std::size_t r = iconv(cd_, &in, &inLeft, &o, &outLeft);
            out.append(chunk, sizeof chunk - outLeft);
            if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // The text was found to be well-formed UTF-8: what stops here is a
            // character the code page lacks. Note it and go on after it.
            std::size_t at = static_cast<std::size_t>(in - utf8.data());
            missing.push_back(at);
            scene::nextUtf8(utf8, at);
            inLeft -= at - static_cast<std::size_t>(in - utf8.data());
            in = const_cast<char*>(utf8.data()) + at;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

std::string codePoint(std::string_view utf8, std::size_t at) {
    const std::int32_t c = scene::nextUtf8(utf8, at);
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

}  // namespace

Fixed fixFolder(const std::string& folder) {
    Fixed fixed;
    Cp932Encoder encoder;
    for (const platform::Text& scene : game_folder::sceneNames()) {
        const std::string file = platform::toUtf8(game_folder::scriptFile(scene));
        const std::string path = folder + "/" + file;
        std::string bytes;
        scene::ScriptBytes form;
        // A script that is missing or cannot be read is the checker's to name.
        if (!platform::readInPieces(path, [&](std::string_view piece) {
                bytes.append(piece);
                form.add(piece);
            }))
            continue;
        form.finish();
        if (!form.needsConverting()) continue;

        std::vector<std::string> what;
        std::string text = std::move(bytes);
        if (form.doubledEnds()) {
            text = replaceAll(std::move(text), "\r\r\n", "\r\n");
            what.push_back(platform::trText("Check", "line ends CR CR LF to CR LF"));
        } else if (form.lineFeedEnds()) {
            text = replaceAll(std::move(text), "\n", "\r\n");
            what.push_back(platform::trText("Check", "line ends LF to CR LF"));
        }
        if (form.utf8()) {
            // A byte order mark is no character of the text.
            if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
            std::vector<std::size_t> missing;
            std::string encoded = encoder.encode(text, missing);
            for (const std::size_t at : missing) {
                const auto [line, column] = placeOf(text, at);
                std::size_t end = at;
                scene::nextUtf8(text, end);
                fixed.findings.push_back(
                    {file, line, column, Severity::kError,
                     platform::fillIn(
                         platform::trText("Check",
                                          "\"%1\" (%2) is not in code page 932, so the script is "
                                          "left as it was; replace it, then run pirokko-check "
                                          "--fix again"),
                         {text.substr(at, end - at), codePoint(text, at)})});
            }
            if (!missing.empty()) continue;
            text = std::move(encoded);
            what.insert(what.begin(), platform::trText("Check", "UTF-8 to code page 932"));
        }
        const platform::Replaced replaced = platform::replaceFile(path, text);
        if (!replaced.ok) {
            fixed.findings.push_back(
                {file, 0, 0, Severity::kError,
                 platform::fillIn(platform::trText("Check",
                                                   "cannot be written (%1); it is left "
                                                   "as it was"),
                                  {replaced.error})});
            continue;
        }
        std::string list;
        for (const std::string& w : what) list += (list.empty() ? "" : ", ") + w;
        fixed.converted.push_back(
            platform::fillIn(platform::trText("Check", "%1: converted: %2"), {file, list}));
    }
    return fixed;
}

}  // namespace check
