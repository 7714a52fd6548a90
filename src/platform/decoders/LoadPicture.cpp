// Picture files, read and decoded the same way on every backend: giflib
// decides what a file shows, or why it cannot.

#include <unistd.h>

#include <cerrno>
#include <new>
#include <vector>

#include "platform/common/RegularFile.h"
#include "platform/decoders/GifDecoder.h"
#include "platform/form/Picture.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

Picture DecodePicture(const std::uint8_t* data, std::size_t size, const Text& name) {
    GifPicture gif = decodeFirstGifImage(data, size, kPictureAllocationLimit);
    if (!gif.problem.empty())
        throw RuntimeError(kInvalidPicture,
                           fillIn(trText("RuntimeError", "Invalid picture: %1"), {gif.problem}),
                           toUtf8(name));
    return std::move(gif.picture);
}

Picture LoadPicture(const Text& path) {
    const std::string name = toUtf8(path);
    RegularFile file(name);
    if (!file.opened()) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw RuntimeError(kFileNotFound, trText("RuntimeError", "File not found"), name);
        throw RuntimeError(75, trText("RuntimeError", "The picture cannot be read"), name);
    }
    if (!file.regular())
        throw RuntimeError(75, trText("RuntimeError", "The picture is not a file"), name);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(file.size());
    } catch (const std::bad_alloc&) {
        throw RuntimeError(75, trText("RuntimeError", "The picture cannot be read"), name);
    }
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.fd(), bytes.data() + got, bytes.size() - got);
        if (n < 0)
            throw RuntimeError(75, trText("RuntimeError", "The picture cannot be read"), name);
        if (n == 0) break;  // shorter than it said: decode what is there
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return DecodePicture(bytes.data(), bytes.size(), path);
}

}  // namespace platform
