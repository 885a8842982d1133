#pragma once
// What one page may cost the built-in engine, and how its images are fetched. A page comes from
// any server: its images are fetched a few at a time per host, in parallel on the worker pool,
// and given up together at a deadline; they are decoded only within a memory budget of the
// page and of the whole process (a 32-bit process has 2 GB of addresses for everything); and
// only the first of its form controls become windows (a window quota is shared by the process).
// Its markup is bounded as well: what one element and the whole page may hold, so that no page
// costs more than time in proportion to its size.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace browser {

// Images of one page fetched at most (distinct addresses), and bytes read of one image.
inline constexpr std::size_t kMaxImagesPerPage = 64;
inline constexpr std::size_t kMaxImageBytes = 8u << 20;
// Image fetches under way at once per host, as browsers keep a few connections per server, and
// for the whole page (each may hold up to kMaxImageBytes while it reads).
inline constexpr std::size_t kImagesPerHost = 4;
inline constexpr std::size_t kImageFetchesAtOnce = 8;
// The fetch workers of the whole process (pages and images of every view), and the fetches that
// may wait for one; a fetch beyond that fails at once, as a fetch without a connection.
inline constexpr std::size_t kMaxFetchWorkers = 16;
inline constexpr std::size_t kMaxWaitingFetches = 256;
// From the moment the page shows, its images have this long to arrive; the rest stay empty.
inline constexpr std::chrono::milliseconds kImageDeadline{20000};
// One picture's fetch, from its request to its last byte (a page's has a minute).
inline constexpr std::chrono::milliseconds kImageFetchTimeLimit{30000};
// Memory that decoded images may hold: of one page, and of all pages of the process.
inline constexpr std::uint64_t kPageImageBudget = 96ull << 20;
inline constexpr std::uint64_t kProcessImageBudget = 256ull << 20;
// Form controls of one page that become windows; the further ones are drawn, inert.
inline constexpr std::size_t kMaxLiveControls = 256;
// Attributes kept of one element: the first ones, each name once; the further ones are dropped.
inline constexpr std::size_t kMaxAttributesPerElement = 256;
// Nodes of one document: the parser stops at this many and shows what it has. A further <html>
// or <body> tag, merged into the first one, counts as one.
inline constexpr std::size_t kMaxNodesPerPage = 200000;

struct ImageDimensions {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The pixel size an image's header announces (PNG, GIF, JPEG, BMP), before anything decodes it;
// of a GIF, the size that holds its screen and every frame. nullopt for other or broken data.
std::optional<ImageDimensions> SniffImageSize(std::string_view bytes);

// What holding the decoded image costs: the bytes kept for it and four bytes per pixel; UINT64_MAX
// when that is more than 64 bits hold.
std::uint64_t DecodedImageCost(std::size_t encodedBytes, ImageDimensions size);

// A memory budget that images take from and give back to.
class ImageBudget {
public:
    explicit ImageBudget(std::uint64_t limit) : m_limit(limit) {}
    // Takes `bytes` when they fit what is left; false (and nothing taken) when not.
    bool Take(std::uint64_t bytes);
    void Give(std::uint64_t bytes);
    std::uint64_t Used() const { return m_used; }

private:
    std::uint64_t m_limit;
    std::uint64_t m_used = 0;
};

// The fetch workers' head count. At most `most` count at once; a worker whose fetch went past its
// time limit stops counting while the server holds it (WinINet may not let go of a request whose
// headers trickle), so that such fetches cannot take every place, up to `mostHeld` of them.
class FetchWorkerCount {
public:
    explicit FetchWorkerCount(std::size_t most = kMaxFetchWorkers, std::size_t mostHeld = kMaxFetchWorkers)
        : m_most(most), m_mostHeld(mostHeld)
    {
    }
    // Whether a thread is to start because `waiting` jobs wait and `idle` workers are free; it
    // counts from here.
    bool StartFor(std::size_t waiting, std::size_t idle);
    // A counting worker ended, or its thread could not start.
    void Ended() { --m_counted; }
    // A counting worker's fetch went past its time limit: true when it stops counting.
    bool Hold();
    // A held worker came free: true when it counts again and goes on, false when it is to end.
    bool Free();
    std::size_t Counted() const { return m_counted; }

private:
    std::size_t m_most;
    std::size_t m_mostHeld;
    std::size_t m_counted = 0;
    std::size_t m_held = 0;
};

// "host:port" of an absolute URL in lower case ("" without one): requests to the same server
// share its limit.
std::string HostKey(std::string_view url);

// The image fetches of one page: which may start now, at most `perHost` per host and `atOnce`
// in all at once, in the order they were added.
class ImageFetchQueue {
public:
    explicit ImageFetchQueue(std::size_t perHost = kImagesPerHost, std::size_t atOnce = kImageFetchesAtOnce)
        : m_perHost(perHost), m_atOnce(atOnce)
    {
    }
    // Adds a fetch from `host`; returns its index.
    std::size_t Add(std::string host);
    // The fetches that may start now; they count as running from here on.
    std::vector<std::size_t> StartNow();
    // A running fetch has ended (arrived or failed).
    void Finish(std::size_t index);
    // Gives up every fetch not ended yet.
    void Clear();
    // Nothing waits and nothing runs.
    bool Done() const { return m_running == 0 && m_waiting.empty(); }

private:
    enum class State { Waiting, Running, Ended };
    struct Entry {
        std::string host;
        State state = State::Waiting;
    };
    std::size_t RunningFrom(const std::string& host) const;

    std::size_t m_perHost;
    std::size_t m_atOnce;
    std::vector<Entry> m_entries;
    std::deque<std::size_t> m_waiting;
    std::size_t m_running = 0;
};

}  // namespace browser
