#pragma once
// The start-up pictures decoded ahead: while the start-up's network steps wait for the server, a
// worker decodes the splash and the login background as the screen's DPI shows them, so that
// painting them only hands them to their windows. Every painter of the process takes its picture
// from the prefetch while one lives, and decodes in place otherwise (a later login, a picture
// that was not asked for, a window of another DPI).

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/LayeredPng.h"
#include "runtime/App.h"
#include "runtime/GdiPlus.h"

namespace corvane {

class PngPrefetch {
public:
    // Starts decoding the PNG resources `ids`, in this order, for windows of `dpi`.
    PngPrefetch(std::vector<int> ids, int dpi);
    // Waits for the worker and disposes what no painter took.
    ~PngPrefetch();
    PngPrefetch(const PngPrefetch&) = delete;
    PngPrefetch& operator=(const PngPrefetch&) = delete;

    // The picture of `id` at `dpi` from the live prefetch, waiting for it when it is still being
    // decoded; nullopt when no prefetch lives, it decodes for another DPI, `id` is not among its
    // pictures or was taken already. The GUI thread's call.
    static std::optional<DecodedPng> Take(int id, int dpi);

private:
    void Decode();
    void Join();

    struct Slot {
        int id = 0;
        bool done = false;                  // the worker is through with it
        std::optional<DecodedPng> picture;  // none when taken, or when decoding failed
    };

    // Holds GDI+ up while the worker decodes; the pictures are GDI's and need none.
    rt::GdiplusSession m_session;
    int m_dpi = 0;
    std::vector<Slot> m_slots;  // made before the worker starts: it allocates nothing under the lock
    std::mutex m_mutex;
    std::condition_variable m_decoded;
    std::thread m_worker;
    // The program may end before the worker has: it must not be cut off inside GDI+.
    rt::EndHook m_atEnd;
};

}  // namespace corvane
