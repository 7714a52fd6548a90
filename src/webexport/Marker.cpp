#include "webexport/Marker.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace webexport {

namespace {

// The first line names the writer; a folder whose note lacks it was not
// written by an export, whatever the note's name.
constexpr char kHeader[] = "pirokko --export-web 1";

}  // namespace

std::string fileDigest(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    // 64-bit FNV-1a: enough to see that an author changed a file.
    std::uint64_t h = 0xcbf29ce484222325ull;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            h ^= static_cast<unsigned char>(buffer[i]);
            h *= 0x100000001b3ull;
        }
    }
    if (in.bad()) return {};
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}

std::string markerText(const std::vector<Written>& written) {
    std::string out = std::string(kHeader) +
                      "\n# Written by `pirokko --export-web`, which lists here what it wrote so "
                      "that exporting again\n# replaces exactly that. Files added beside them are "
                      "never removed.\n";
    for (const Written& w : written)
        out += w.folder ? "folder " + w.path + "\n" : "file " + w.digest + " " + w.path + "\n";
    return out;
}

std::optional<std::vector<Written>> readMarker(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != kHeader) return std::nullopt;
    std::vector<Written> written;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        Written w;
        if (kind == "folder") {
            w.folder = true;
        } else if (kind == "file") {
            words >> w.digest;
        } else {
            return std::nullopt;
        }
        words.get();  // the space before the path, which may hold spaces itself
        std::getline(words, w.path);
        if (w.path.empty() || w.path.front() == '/' ||
            ("/" + w.path + "/").find("/../") != std::string::npos)
            return std::nullopt;
        written.push_back(std::move(w));
    }
    return written;
}

}  // namespace webexport
