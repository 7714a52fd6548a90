#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "gif.h"

namespace makeart {
namespace {

struct Colour {
    QRgb rgb;             // opaque colour
    std::uint32_t count;  // pixels of that colour
};

int channel(QRgb c, int axis) {
    return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c);
}

// Weights roughly follow how strongly the eye tells the channels apart, so
// the palette spends its entries where differences show.
constexpr std::array<int, 3> kWeight = {3, 4, 2};

struct Box {
    std::size_t begin;
    std::size_t end;
    double error;  // weighted squared error along the widest axis
    int axis;
};

Box measure(const std::vector<Colour>& colours, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0.0, 0};
    if (end - begin < 2) return box;  // a single colour cannot be split
    std::array<double, 3> sum{}, sumSquares{};
    double total = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const double n = colours[i].count;
        total += n;
        for (int axis = 0; axis < 3; ++axis) {
            const double v = channel(colours[i].rgb, axis);
            sum[axis] += n * v;
            sumSquares[axis] += n * v * v;
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        const double error = kWeight[axis] * (sumSquares[axis] - sum[axis] * sum[axis] / total);
        if (error > box.error) {
            box.error = error;
            box.axis = axis;
        }
    }
    return box;
}

QRgb mean(const std::vector<Colour>& colours, const std::vector<std::size_t>& members) {
    std::array<double, 3> sum{};
    double total = 0;
    for (std::size_t i : members) {
        total += colours[i].count;
        for (int axis = 0; axis < 3; ++axis)
            sum[axis] += static_cast<double>(colours[i].count) * channel(colours[i].rgb, axis);
    }
    auto level = [&](int axis) { return static_cast<int>(sum[axis] / total + 0.5); };
    return qRgb(level(0), level(1), level(2));
}

std::size_t nearest(const std::vector<QRgb>& palette, QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        // Most entries are rejected on the first channel or two; this search
        // is where quantising spends nearly all of its time.
        const int dr = qRed(palette[i]) - r;
        int d = kWeight[0] * dr * dr;
        if (d >= bestDistance) continue;
        const int dg = qGreen(palette[i]) - g;
        d += kWeight[1] * dg * dg;
        if (d >= bestDistance) continue;
        const int db = qBlue(palette[i]) - b;
        d += kWeight[2] * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Median cut, splitting first the box whose colours spread furthest, then a
// few rounds of moving each entry to the mean of the colours nearest to it.
std::vector<QRgb> choosePalette(std::vector<Colour>& colours, std::size_t wanted) {
    std::vector<Box> boxes{measure(colours, 0, colours.size())};
    while (boxes.size() < wanted) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.error < b.error;
        });
        if (widest->error <= 0) break;
        const Box box = *widest;
        const int axis = box.axis;
        std::sort(colours.begin() + box.begin, colours.begin() + box.end,
                  [axis](const Colour& a, const Colour& b) {
                      const int ca = channel(a.rgb, axis), cb = channel(b.rgb, axis);
                      return ca != cb ? ca < cb : a.rgb < b.rgb;
                  });
        std::uint64_t total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) total += colours[i].count;
        std::uint64_t below = 0;
        std::size_t split = box.begin;
        while (split < box.end - 1 && 2 * (below + colours[split].count) <= total)
            below += colours[split++].count;
        if (split == box.begin) split = box.begin + 1;
        *widest = measure(colours, box.begin, split);
        boxes.push_back(measure(colours, split, box.end));
    }

    std::vector<QRgb> palette;
    for (const Box& box : boxes) {
        std::vector<std::size_t> members;
        for (std::size_t i = box.begin; i < box.end; ++i) members.push_back(i);
        palette.push_back(mean(colours, members));
    }

    for (int round = 0; round < 3; ++round) {
        std::vector<std::vector<std::size_t>> groups(palette.size());
        for (std::size_t i = 0; i < colours.size(); ++i)
            groups[nearest(palette, colours[i].rgb)].push_back(i);
        for (std::size_t p = 0; p < palette.size(); ++p)
            if (!groups[p].empty()) palette[p] = mean(colours, groups[p]);
    }
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

}  // namespace

IndexedImage quantize(const QImage& source, int maxColours) {
    if (source.isNull()) throw std::invalid_argument("cannot quantise an empty picture");
    if (maxColours < 2 || maxColours > 256)
        throw std::invalid_argument("a GIF palette holds 2 to 256 colours");
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);

    std::unordered_map<QRgb, std::uint32_t> histogram;
    bool anyTransparent = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 128)
                anyTransparent = true;
            else
                ++histogram[line[x] | 0xFF000000u];
        }
    }
    std::vector<Colour> colours;
    for (const auto& [rgb, count] : histogram) colours.push_back({rgb, count});
    std::sort(colours.begin(), colours.end(),
              [](const Colour& a, const Colour& b) { return a.rgb < b.rgb; });

    const std::size_t opaqueSlots = static_cast<std::size_t>(maxColours) - (anyTransparent ? 1 : 0);
    std::vector<QRgb> palette;
    if (colours.size() <= opaqueSlots) {
        for (const Colour& c : colours) palette.push_back(c.rgb);
    } else {
        palette = choosePalette(colours, opaqueSlots);
    }

    std::unordered_map<QRgb, std::uint8_t> lookup;
    for (const Colour& c : colours)
        lookup.emplace(c.rgb, static_cast<std::uint8_t>(nearest(palette, c.rgb)));

    IndexedImage out;
    out.width = image.width();
    out.height = image.height();
    if (anyTransparent) {
        out.transparentIndex = static_cast<int>(palette.size());
        palette.push_back(qRgb(0, 0, 0));
    }
    out.palette = std::move(palette);
    out.pixels.reserve(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            out.pixels.push_back(qAlpha(line[x]) < 128
                                     ? static_cast<std::uint8_t>(out.transparentIndex)
                                     : lookup.at(line[x] | 0xFF000000u));
        }
    }
    return out;
}

}  // namespace makeart
