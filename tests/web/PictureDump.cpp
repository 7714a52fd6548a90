// Prints what the picture loader makes of each file named, one line each:
//   NAME picture WIDTH HEIGHT HASH   the pixels shown (FNV-1a of the
//                                    premultiplied ARGB words)
//   NAME refused N "DESCRIPTION"     the run-time error that refuses it
// Built for the desktop and, from the same source, for the browser, so that
// the two decoders can be held against each other file by file, in the
// language that LANGUAGE names (the browser's build reads it as its page's
// language: tests/web/language.js).

#ifndef __EMSCRIPTEN__
#include <QCoreApplication>
#endif
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/form/Picture.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"
#include "platform/system/Text.h"

namespace {

std::uint64_t fnv(const platform::Picture& p) {
    std::uint64_t h = 1469598103934665603ull;
    const std::size_t n = static_cast<std::size_t>(p.widthPx()) * p.heightPx();
    for (std::size_t i = 0; i < n; ++i) {
        for (int b = 0; b < 32; b += 8) {
            h ^= (p.pixels()[i] >> b) & 0xFF;
            h *= 1099511628211ull;
        }
    }
    return h;
}

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: picture_dump FILE...\n");
        return 0;
    }
#ifndef __EMSCRIPTEN__
    QCoreApplication app(argc, argv);
#endif
    // The messages in the language LANGUAGE names, as each backend reads it.
    platform::useSessionLanguage();
    for (int i = 1; i < argc; ++i) {
        const std::string name = baseName(argv[i]);
        try {
            const platform::Picture p = platform::LoadPicture(platform::fromUtf8(argv[i]));
            std::printf("%s picture %d %d %016llx\n", name.c_str(), p.widthPx(), p.heightPx(),
                        static_cast<unsigned long long>(fnv(p)));
        } catch (const platform::RuntimeError& e) {
            std::printf("%s refused %d \"%s\"\n", name.c_str(), e.number(),
                        e.description().c_str());
        }
    }
    return 0;
}
