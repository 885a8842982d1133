#pragma once
// The ordered tabs of one strip, addressed by 0-based position from the left and optionally by
// a unique key that ignores letter case. Every change is told to the bound strip.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Liveness.h"
#include "tabstrip/TabAccess.h"
#include "tabstrip/TabIndex.h"

namespace corvane {

class CTabItem;
class ITabForm;
class ITabWindows;
class IuTab;

class CTabItems {
public:
    explicit CTabItems(ITabWindows& windows);
    CTabItems(const CTabItems&) = delete;
    CTabItems& operator=(const CTabItems&) = delete;
    ~CTabItems();

    void SetStrip(IuTab* strip) { m_strip = strip; }

    // Adds a tab for `form`; Index (when given) is the position the new tab takes. Throws
    // TabError 5 (Index not numeric), 9 (Index outside 0..Count) or 457 (key in use); the
    // page has been initialised and embedded by then, but no tab is listed.
    bool Add(std::wstring caption, std::shared_ptr<ITabForm> form, std::optional<std::wstring> key = std::nullopt,
             const TabIndex& index = {});
    // Removes the tab unless the strip refuses; with `unload` its page is unloaded.
    bool Remove(const TabIndex& index, bool unload);
    // Unloads every page and empties the list.
    bool Clear();
    // A position, or -1; never throws.
    long FindItem(const TabIndex& index) const;
    // Turns a tab's page back into a free top-level window.
    bool ReleaseForm(const TabIndex& index);

    long Count() const { return static_cast<long>(m_list.size()); }
    // The tab for a key (TabError 5 when the key is not listed) or a position (none when out of
    // range).
    std::shared_ptr<CTabItem> Item(const TabIndex& index) const;
    // The tab at a position known to be in 0..Count()-1, for the strip's own walks.
    const CTabItem& At(long position) const { return *m_list[static_cast<std::size_t>(position)].tab; }

    // A tab's id: given when it was added, and kept while others come and go (ids wrap after
    // kMaxTabId additions), so that a request made for a tab waits for that tab.
    std::uint32_t IdAt(long position) const { return m_list[static_cast<std::size_t>(position)].id; }
    // The position of the tab with that id, or -1.
    long FindId(std::uint32_t id) const;

    long Selected() const;
    void SetSelected(long index);

private:
    struct Entry {
        std::optional<std::wstring> key;  // folded to lower case
        std::shared_ptr<CTabItem> tab;
        std::uint32_t id = 0;
    };

    long FindKey(const std::wstring& key) const;

    ITabWindows& m_windows;
    IuTab* m_strip = nullptr;
    std::vector<Entry> m_list;
    std::uint32_t m_lastId = 0;
    // Tabs taken out of the list whose pages were set free: they live on with their pages until
    // the collection ends.
    std::vector<std::shared_ptr<CTabItem>> m_released;
    rt::Liveness m_life;
};

}  // namespace corvane
