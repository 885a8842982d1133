#pragma once
// GetGuiResources and the process memory counters report 0 under Wine, so the benchmarks count
// objects by capacity: how many more brushes (GDI) and menus (USER) can still be made before
// the handle tables are full. Objects left behind reduce that number one for one.

#include <windows.h>

#include <vector>

namespace bench {

constexpr int kCapacityBound = 200000;

template <typename Make, typename Free>
long Capacity(Make make, Free free)
{
    std::vector<decltype(make())> made;
    made.reserve(kCapacityBound);
    while (static_cast<int>(made.size()) < kCapacityBound) {
        auto h = make();
        if (!h) break;
        made.push_back(h);
    }
    for (auto h : made) free(h);
    return static_cast<long>(made.size());
}

inline long GdiCapacity()
{
    return Capacity([] { return ::CreateSolidBrush(0x123456); }, [](HBRUSH b) { ::DeleteObject(b); });
}

inline long UserCapacity()
{
    return Capacity([] { return ::CreateMenu(); }, [](HMENU m) { ::DestroyMenu(m); });
}

}  // namespace bench
