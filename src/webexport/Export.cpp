#include "webexport/Export.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

namespace webexport {

namespace {

std::string relativeName(const fs::path& path, const fs::path& base) {
    return path.lexically_relative(base).generic_string();
}

[[noreturn]] void fail(const char* what, const fs::path& path, int error) {
    throw fs::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

// Folders the export makes get the permissions a new folder would have, so
// that a web server run by another user can read them.
fs::perms newFolderPerms() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<fs::perms>(0777 & ~mask);
}

void copyTree(const fs::path& from, const fs::path& to, const fs::path& root,
              std::vector<Written>& written) {
    fs::create_directory(to);
    written.push_back({relativeName(to, root), true, {}});
    std::vector<fs::directory_entry> entries{fs::directory_iterator(from), {}};
    std::sort(entries.begin(), entries.end());
    for (const fs::directory_entry& e : entries) {
        const fs::path target = to / e.path().filename();
        // Links are followed: the site gets the files the game reads.
        if (e.is_directory()) {
            copyTree(e.path(), target, root, written);
        } else if (e.is_regular_file()) {
            fs::copy_file(e.path(), target);
            written.push_back({relativeName(target, root), false, fileDigest(target.string())});
        }
        // Anything else (a pipe, a socket) is no content a site could serve.
    }
}

bool sameBytes(const fs::path& a, const fs::path& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    if (!x || !y) return false;
    return std::equal(std::istreambuf_iterator<char>(x), {}, std::istreambuf_iterator<char>(y), {});
}

}  // namespace

const std::vector<std::string>& engineFiles() {
    static const std::vector<std::string> files{"index.html", "pirokko.js", "pirokko.wasm"};
    return files;
}

Target inspectTarget(const fs::path& out) {
    Target t;
    std::error_code ec;
    t.path = fs::weakly_canonical(out, ec);
    if (ec) t.path = out;
    const fs::file_status status = fs::status(t.path, ec);
    if (!fs::exists(status)) return t;
    if (!fs::is_directory(status)) {
        t.kind = Target::Kind::kNotAFolder;
        return t;
    }
    if (fs::is_empty(t.path, ec) && !ec) {
        t.kind = Target::Kind::kEmpty;
        return t;
    }

    const auto earlier = readMarker((t.path / kMarkerName).string());
    std::map<std::string, const Written*> listed;
    if (earlier) {
        t.earlier = *earlier;
        for (const Written& w : t.earlier) listed[w.path] = &w;
    }
    t.kind = Target::Kind::kEarlierExport;
    for (auto it = fs::recursive_directory_iterator(t.path);
         it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = relativeName(it->path(), t.path);
        if (earlier && rel == kMarkerName) continue;
        const auto found = listed.find(rel);
        // A link is never something an export wrote, even to a listed name.
        const bool folder = it->is_directory() && !it->is_symlink();
        const bool file = it->is_regular_file() && !it->is_symlink();
        if (found == listed.end() || found->second->folder != folder || (!folder && !file)) {
            t.foreign.push_back(rel);
            if (folder) it.disable_recursion_pending();
            continue;
        }
        if (file && fileDigest(it->path().string()) != found->second->digest)
            t.changed.push_back(rel);
    }
    if (!t.foreign.empty()) t.kind = Target::Kind::kForeign;
    return t;
}

std::vector<Written> writeExport(const fs::path& engine, const fs::path& game,
                                 const fs::path& into) {
    std::vector<Written> written;
    for (const std::string& name : engineFiles()) {
        fs::copy_file(engine / name, into / name);
        written.push_back({name, false, fileDigest((into / name).string())});
    }
    for (const char* folder : {"txt", "img"}) copyTree(game / folder, into / folder, into, written);
    std::error_code ec;
    if (fs::is_regular_file(game / "bgm.wav", ec)) {
        fs::copy_file(game / "bgm.wav", into / "bgm.wav");
        written.push_back({"bgm.wav", false, fileDigest((into / "bgm.wav").string())});
    }
    const fs::path marker = into / kMarkerName;
    std::ofstream note(marker, std::ios::binary);
    note << markerText(written);
    note.close();
    if (!note) fail("cannot write", marker, EIO);
    return written;
}

std::vector<std::string> filesItWouldLose(const Target& target, const fs::path& fresh) {
    std::vector<std::string> lost;
    for (const std::string& rel : target.changed)
        if (!sameBytes(target.path / rel, fresh / rel)) lost.push_back(rel);
    return lost;
}

fs::path makeSiblingFolder(const fs::path& out) {
    std::string pattern = (out.parent_path() / ("." + out.filename().string() + ".export-XXXXXX"));
    if (!::mkdtemp(pattern.data())) fail("cannot create a folder beside", out, errno);
    // The export takes the place of OUT, with OUT's permissions if it has any.
    std::error_code ec;
    const fs::file_status was = fs::status(out, ec);
    fs::permissions(pattern, fs::is_directory(was) ? was.permissions() : newFolderPerms());
    return pattern;
}

Swapped putInPlace(const Target& target, const fs::path& fresh) {
    const fs::path& out = target.path;
    if (target.kind == Target::Kind::kMissing) {
        if (::rename(fresh.c_str(), out.c_str()) != 0) fail("cannot rename into", out, errno);
        return {};
    }
    if (target.kind == Target::Kind::kEmpty) {
        // An empty folder keeps its identity, for a shell or a server that
        // runs in it; there is nothing in it to serve half-written meanwhile.
        // The note goes first, so that whatever arrives is an export's.
        std::vector<fs::path> entries{fresh / kMarkerName};
        for (const fs::directory_entry& e : fs::directory_iterator(fresh))
            if (e.path().filename() != kMarkerName) entries.push_back(e.path());
        for (const fs::path& e : entries)
            if (::rename(e.c_str(), (out / e.filename()).c_str()) != 0)
                fail("cannot move into", out / e.filename(), errno);
        fs::remove(fresh);
        return {};
    }
    // The two folders trade places at once, so that a server never sees
    // half an export; where the file system cannot, the old one steps aside
    // first.
    if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, out.c_str(), RENAME_EXCHANGE) != 0) {
        const int error = errno;
        if (error != EINVAL && error != ENOSYS) fail("cannot swap in", out, error);
        const fs::path aside = makeSiblingFolder(out);
        fs::remove(aside);
        if (::rename(out.c_str(), aside.c_str()) != 0) fail("cannot move aside", out, errno);
        if (::rename(fresh.c_str(), out.c_str()) != 0) fail("cannot rename into", out, errno);
        fs::rename(aside, fresh);
    }
    // `fresh` now holds the earlier export. Only what it lists goes, and a
    // file only with the bytes it was written with or that the new export
    // carries; folders go once empty.
    const fs::path& old = fresh;
    std::vector<Written> earlier = target.earlier;
    std::sort(earlier.begin(), earlier.end(),
              [](const Written& a, const Written& b) { return a.path > b.path; });
    std::error_code ec;
    for (const Written& w : earlier) {
        const fs::path p = old / w.path;
        const fs::file_status s = fs::symlink_status(p, ec);
        if (w.folder) {
            if (fs::is_directory(s) && fs::is_empty(p, ec)) fs::remove(p, ec);
        } else if (fs::is_regular_file(s) &&
                   (fileDigest(p.string()) == w.digest || sameBytes(p, out / w.path))) {
            fs::remove(p, ec);
        }
    }
    fs::remove(old / kMarkerName, ec);
    if (fs::is_empty(old, ec) && !ec) {
        fs::remove(old, ec);
        return {};
    }
    Swapped s{old, {}};
    for (auto it = fs::recursive_directory_iterator(old); it != fs::recursive_directory_iterator();
         ++it)
        if (!it->is_directory() || it->is_symlink())
            s.left.push_back(relativeName(it->path(), old));
    return s;
}

}  // namespace webexport
