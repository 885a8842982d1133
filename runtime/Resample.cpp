#include "runtime/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace rt {

namespace {

// Where the centre of destination pixel `i` falls in source coordinates.
double SourceAt(int i, int from, int to) { return (i + 0.5) * from / to - 0.5; }

struct Tap {
    int lo;
    int hi;
    double weightHi;
    int nearest;
};

Tap TapAt(int i, int from, int to)
{
    const double at = std::clamp(SourceAt(i, from, to), 0.0, static_cast<double>(from - 1));
    const int lo = static_cast<int>(std::floor(at));
    const int hi = std::min(lo + 1, from - 1);
    const int nearest = std::clamp(static_cast<int>(std::lround(at)), 0, from - 1);
    return {lo, hi, at - lo, nearest};
}

}  // namespace

PixelGrid Resample(const PixelGrid& source, int width, int height, std::int64_t keyColour)
{
    PixelGrid out;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height))
        return out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const auto at = [&](int x, int y) { return source.pixels[static_cast<std::size_t>(y) * source.width + x] & 0xFFFFFFu; };
    const auto isKey = [&](std::uint32_t p) { return keyColour >= 0 && p == static_cast<std::uint32_t>(keyColour); };
    for (int y = 0; y < height; ++y) {
        const Tap ty = TapAt(y, source.height, height);
        for (int x = 0; x < width; ++x) {
            const Tap tx = TapAt(x, source.width, width);
            std::uint32_t& result = out.pixels[static_cast<std::size_t>(y) * width + x];
            const std::uint32_t nearest = at(tx.nearest, ty.nearest);
            if (isKey(nearest)) {
                result = nearest;
                continue;
            }
            const struct {
                std::uint32_t p;
                double w;
            } taps[4] = {{at(tx.lo, ty.lo), (1 - tx.weightHi) * (1 - ty.weightHi)},
                         {at(tx.hi, ty.lo), tx.weightHi * (1 - ty.weightHi)},
                         {at(tx.lo, ty.hi), (1 - tx.weightHi) * ty.weightHi},
                         {at(tx.hi, ty.hi), tx.weightHi * ty.weightHi}};
            double sum[3] = {0, 0, 0};
            double total = 0;
            for (const auto& t : taps) {
                if (isKey(t.p) || t.w <= 0) continue;
                sum[0] += t.w * ((t.p >> 16) & 0xFF);
                sum[1] += t.w * ((t.p >> 8) & 0xFF);
                sum[2] += t.w * (t.p & 0xFF);
                total += t.w;
            }
            if (total <= 0) {
                result = nearest;
                continue;
            }
            const auto channel = [&](double v) {
                return static_cast<std::uint32_t>(std::clamp(std::lround(v / total), 0L, 255L));
            };
            result = (channel(sum[0]) << 16) | (channel(sum[1]) << 8) | channel(sum[2]);
        }
    }
    return out;
}

PixelGrid ResamplePieces(const PixelGrid& source, std::span<const int> from, std::span<const int> to, int height,
                         std::int64_t keyColour)
{
    long long fromSum = 0, toSum = 0;
    bool positive = !from.empty() && from.size() == to.size();
    for (int w : from) {
        fromSum += w;
        positive = positive && w > 0;
    }
    for (int w : to) {
        toSum += w;
        positive = positive && w > 0;
    }
    if (toSum <= 0 || toSum > 1 << 20) return {};
    if (!positive || fromSum != source.width ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height))
        return Resample(source, static_cast<int>(toSum), height, keyColour);
    PixelGrid result;
    result.width = static_cast<int>(toSum);
    result.height = height;
    if (height <= 0) return {};
    result.pixels.resize(static_cast<std::size_t>(result.width) * static_cast<std::size_t>(height));
    int fromX = 0, toX = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        PixelGrid piece;
        piece.width = from[i];
        piece.height = source.height;
        piece.pixels.reserve(static_cast<std::size_t>(piece.width) * static_cast<std::size_t>(piece.height));
        for (int y = 0; y < source.height; ++y) {
            const auto row = source.pixels.begin() + static_cast<std::ptrdiff_t>(y) * source.width + fromX;
            piece.pixels.insert(piece.pixels.end(), row, row + piece.width);
        }
        const PixelGrid scaled = Resample(piece, to[i], height, keyColour);
        if (scaled.width != to[i]) return {};
        for (int y = 0; y < height; ++y)
            std::copy_n(scaled.pixels.begin() + static_cast<std::ptrdiff_t>(y) * to[i], to[i],
                        result.pixels.begin() + static_cast<std::ptrdiff_t>(y) * result.width + toX);
        fromX += from[i];
        toX += to[i];
    }
    return result;
}

}  // namespace rt
