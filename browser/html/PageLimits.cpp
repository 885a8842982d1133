#include "browser/html/PageLimits.h"

#include <algorithm>

#include "browser/html/Url.h"
#include "browser/html/Utf8.h"

namespace browser {

namespace {

std::uint32_t BigEndian(std::string_view b, std::size_t at, std::size_t n)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::uint32_t LittleEndian(std::string_view b, std::size_t at, std::size_t n)
{
    std::uint32_t v = 0;
    for (std::size_t i = n; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::optional<ImageDimensions> Checked(std::uint32_t width, std::uint32_t height)
{
    if (width == 0 || height == 0) return std::nullopt;
    return ImageDimensions{width, height};
}

// A JPEG's size stands in its start-of-frame segment, somewhere after the other segments.
std::optional<ImageDimensions> JpegSize(std::string_view b)
{
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (static_cast<unsigned char>(b[at]) != 0xFF) return std::nullopt;
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // segments without a length
            at += 2;
            continue;
        }
        const std::size_t length = BigEndian(b, at + 2, 2);
        if (length < 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size()) return std::nullopt;
            return Checked(BigEndian(b, at + 7, 2), BigEndian(b, at + 5, 2));
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// A GIF's logical screen does not bound what it decodes to: a decoder allocates each frame at the
// frame's own size, wherever the frame lies. The cost is that of a picture holding the screen and
// every frame. The blocks are followed to the trailer; one of no known kind makes the file
// undecodable, as it does for the decoders that follow the blocks. Every step moves forward, so
// the walk costs no more than the bytes it reads.
std::optional<ImageDimensions> GifSize(std::string_view b)
{
    std::uint32_t width = LittleEndian(b, 6, 2);
    std::uint32_t height = LittleEndian(b, 8, 2);
    if (b.size() < 13) return Checked(width, height);  // no frame follows
    const auto colourTable = [](unsigned packed) -> std::size_t {
        return (packed & 0x80) ? std::size_t{3} << ((packed & 7) + 1) : 0;
    };
    // Past a chain of sub-blocks, each led by its length, up to the empty one.
    const auto skipSubBlocks = [&b](std::size_t at) {
        while (at < b.size()) {
            const std::size_t length = static_cast<unsigned char>(b[at]);
            at += 1 + length;
            if (length == 0) break;
        }
        return at;
    };
    std::size_t at = 13 + colourTable(static_cast<unsigned char>(b[10]));
    while (at < b.size()) {
        const unsigned introducer = static_cast<unsigned char>(b[at]);
        if (introducer == 0x3B) break;  // the trailer
        if (introducer == 0x21) {       // an extension: its label, then its sub-blocks
            at = skipSubBlocks(at + 2);
        } else if (introducer == 0x2C) {  // a frame: where it lies, its size, its colours, its data
            if (at + 10 > b.size()) break;
            width = std::max(width, LittleEndian(b, at + 1, 2) + LittleEndian(b, at + 5, 2));
            height = std::max(height, LittleEndian(b, at + 3, 2) + LittleEndian(b, at + 7, 2));
            at = skipSubBlocks(at + 10 + colourTable(static_cast<unsigned char>(b[at + 9])) + 1);
        } else {
            return std::nullopt;
        }
    }
    return Checked(width, height);
}

}  // namespace

std::optional<ImageDimensions> SniffImageSize(std::string_view b)
{
    if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8) && b.substr(12, 4) == "IHDR")
        return Checked(BigEndian(b, 16, 4), BigEndian(b, 20, 4));
    if (b.size() >= 10 && (b.substr(0, 6) == "GIF87a" || b.substr(0, 6) == "GIF89a"))
        return GifSize(b);
    if (b.size() >= 4 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8)
        return JpegSize(b);
    if (b.size() >= 26 && b.substr(0, 2) == "BM") {
        const std::uint32_t header = LittleEndian(b, 14, 4);
        if (header == 12) return Checked(LittleEndian(b, 18, 2), LittleEndian(b, 20, 2));
        if (header < 40) return std::nullopt;
        // A negative height is a top-down bitmap of the same size.
        const auto width = static_cast<std::int32_t>(LittleEndian(b, 18, 4));
        const auto height = static_cast<std::int32_t>(LittleEndian(b, 22, 4));
        if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
        return Checked(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height < 0 ? -height : height));
    }
    return std::nullopt;
}

std::uint64_t DecodedImageCost(std::size_t encodedBytes, ImageDimensions size)
{
    // Two 32-bit factors cannot overflow 64 bits; the bytes per pixel and the encoded bytes can.
    const std::uint64_t pixels = std::uint64_t{size.width} * size.height;
    if (pixels > (UINT64_MAX - encodedBytes) / 4) return UINT64_MAX;
    return encodedBytes + pixels * 4;
}

bool ImageBudget::Take(std::uint64_t bytes)
{
    if (bytes > m_limit - m_used) return false;
    m_used += bytes;
    return true;
}

void ImageBudget::Give(std::uint64_t bytes)
{
    m_used -= std::min(bytes, m_used);
}

bool FetchWorkerCount::StartFor(std::size_t waiting, std::size_t idle)
{
    if (waiting <= idle || m_counted >= m_most) return false;
    ++m_counted;
    return true;
}

bool FetchWorkerCount::Hold()
{
    if (m_held >= m_mostHeld) return false;
    ++m_held;
    --m_counted;
    return true;
}

bool FetchWorkerCount::Free()
{
    --m_held;
    if (m_counted >= m_most) return false;
    ++m_counted;
    return true;
}

std::string HostKey(std::string_view url)
{
    if (UrlScheme(url).empty()) return {};
    const std::size_t start = url.find("//");
    if (start == std::string_view::npos) return {};
    const std::size_t end = url.find_first_of("/?#\\", start + 2);
    return AsciiLowercase(url.substr(start + 2, end == std::string_view::npos ? end : end - start - 2));
}

std::size_t ImageFetchQueue::Add(std::string host)
{
    m_entries.push_back({std::move(host), State::Waiting});
    m_waiting.push_back(m_entries.size() - 1);
    return m_entries.size() - 1;
}

std::size_t ImageFetchQueue::RunningFrom(const std::string& host) const
{
    return static_cast<std::size_t>(std::count_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) {
        return e.state == State::Running && e.host == host;
    }));
}

std::vector<std::size_t> ImageFetchQueue::StartNow()
{
    std::vector<std::size_t> start;
    for (auto it = m_waiting.begin(); it != m_waiting.end() && m_running < m_atOnce;) {
        Entry& e = m_entries[*it];
        if (RunningFrom(e.host) >= m_perHost) {
            ++it;
            continue;
        }
        e.state = State::Running;
        ++m_running;
        start.push_back(*it);
        it = m_waiting.erase(it);
    }
    return start;
}

void ImageFetchQueue::Finish(std::size_t index)
{
    if (index >= m_entries.size() || m_entries[index].state != State::Running) return;
    m_entries[index].state = State::Ended;
    --m_running;
}

void ImageFetchQueue::Clear()
{
    for (Entry& e : m_entries) e.state = State::Ended;
    m_waiting.clear();
    m_running = 0;
}

}  // namespace browser
