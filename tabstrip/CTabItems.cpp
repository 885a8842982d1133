#include "tabstrip/CTabItems.h"

#include <cwctype>

#include "runtime/Rounding.h"
#include "tabstrip/CTabItem.h"
#include "tabstrip/ITabForm.h"
#include "tabstrip/IuTab.h"
#include "tabstrip/TabError.h"
#include "tabstrip/TabWindows.h"

namespace corvane {

namespace {

std::wstring FoldCase(const std::wstring& text)
{
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return out;
}

}  // namespace

CTabItems::CTabItems(ITabWindows& windows) : m_windows(windows) {}

CTabItems::~CTabItems()
{
    // A tab the host still holds must not reach the strip, which goes with us.
    for (const Entry& entry : m_list) entry.tab->SetStrip(nullptr);
    for (const auto& tab : m_released) tab->SetStrip(nullptr);
    // Tabs go in list order, each unloading the page it still holds.
    m_list.clear();
    m_released.clear();
}

long CTabItems::FindKey(const std::wstring& key) const
{
    const std::wstring folded = FoldCase(key);
    for (std::size_t i = 0; i < m_list.size(); ++i)
        if (m_list[i].key && *m_list[i].key == folded) return static_cast<long>(i);
    return -1;
}

bool CTabItems::Add(std::wstring caption, std::shared_ptr<ITabForm> form, std::optional<std::wstring> key,
                    const TabIndex& index)
{
    const long style = form ? m_windows.WindowStyle(form->hWnd()) : 0;

    // The page's code runs from here on, and it may end the strip and us with it.
    const rt::Liveness::Watch watch = m_life.Observe();
    auto tab = std::make_shared<CTabItem>();
    tab->SetSavedStyle(style);
    tab->SetStrip(m_strip);
    if (form) form->Initialize(m_strip, tab);
    if (!watch.Alive()) return false;
    tab->SetCaption(caption);
    tab->SetForm(form);
    if (!watch.Alive()) return false;

    long position = Count();
    try {
        if (!index.IsMissing()) {
            double number = 0;
            if (!index.AsNumber(number)) throw MakeTabError(kErrInvalidCall);
            const double rounded = rt::RoundHalfEven(number);
            if (rounded < 0 || rounded > Count()) throw MakeTabError(kErrSubscriptRange);
            position = static_cast<long>(rounded);
        }
        if (key && FindKey(*key) >= 0) throw MakeTabError(kErrDuplicateKey);
    } catch (...) {
        // The page stays initialised and embedded, and stays the caller's: the tab that is
        // dropped here must not unload it.
        tab->TakeForm();
        throw;
    }
    m_lastId = m_lastId % kMaxTabId + 1;
    m_list.insert(m_list.begin() + position, Entry{key ? std::optional(FoldCase(*key)) : std::nullopt, tab, m_lastId});

    if (m_strip) {
        m_strip->Add(caption, form, key, index);
        if (!watch.Alive()) return false;
        m_windows.Activate(m_strip->hWnd());
    }
    return true;
}

bool CTabItems::Remove(const TabIndex& index, bool unload)
{
    const long position = FindItem(index);
    if (position < 0) return false;
    std::shared_ptr<CTabItem> tab = m_list[position].tab;
    // The strip's close handler may end the strip and us with it (closing the last tab may
    // unload the window); so may the page's unload.
    const rt::Liveness::Watch watch = m_life.Observe();
    if (m_strip && !m_strip->BeforeRemove(position)) return false;
    if (!watch.Alive()) return false;
    // The strip's handler may have changed the list; remove the tab it was asked about.
    const long now = FindItem(tab.get());
    if (now < 0) return false;
    m_list.erase(m_list.begin() + now);
    if (m_strip) m_strip->Remove(now);
    if (!watch.Alive()) return false;
    if (unload)
        tab->UnloadPage();
    else if (tab->Form())
        m_released.push_back(tab);
    return true;
}

bool CTabItems::Clear()
{
    const rt::Liveness::Watch watch = m_life.Observe();
    std::vector<std::shared_ptr<CTabItem>> tabs;
    for (const Entry& entry : m_list) tabs.push_back(entry.tab);
    for (const auto& tab : tabs) {
        tab->UnloadPage();
        // A page's unload may end the strip and us with it.
        if (!watch.Alive()) return false;
    }
    m_list = {};
    // Without this the strip would keep showing the tabs that are gone.
    if (m_strip) m_strip->Clear();
    return true;
}

long CTabItems::FindItem(const TabIndex& index) const
{
    if (m_list.empty()) return -1;
    if (const std::wstring* key = index.Key()) return FindKey(*key);
    if (const double* number = index.Number()) {
        const double rounded = rt::RoundHalfEven(*number);
        return rounded >= 0 && rounded <= Count() - 1 ? static_cast<long>(rounded) : -1;
    }
    if (const ITabForm* page = index.Page()) {
        for (std::size_t i = 0; i < m_list.size(); ++i)
            if (m_list[i].tab->Form().get() == page) return static_cast<long>(i);
        return -1;
    }
    if (const CTabItem* tab = index.Tab()) {
        for (std::size_t i = 0; i < m_list.size(); ++i)
            if (m_list[i].tab.get() == tab) return static_cast<long>(i);
        return -1;
    }
    return -1;
}

long CTabItems::FindId(std::uint32_t id) const
{
    for (std::size_t i = 0; i < m_list.size(); ++i)
        if (m_list[i].id == id) return static_cast<long>(i);
    return -1;
}

bool CTabItems::ReleaseForm(const TabIndex& index)
{
    const long position = FindItem(index);
    if (position < 0) return false;
    std::shared_ptr<CTabItem> tab = m_list[position].tab;
    std::shared_ptr<ITabForm> page = tab->Form();
    const long style = tab->SavedStyle();
    if (!Remove(position, false)) return false;
    if (page) m_windows.ReleaseToDesktop(page->hWnd(), style, m_strip ? m_strip->hParent() : 0);
    return true;
}

std::shared_ptr<CTabItem> CTabItems::Item(const TabIndex& index) const
{
    if (const std::wstring* key = index.Key()) {
        const long position = FindKey(*key);
        if (position < 0) throw MakeTabError(kErrInvalidCall);
        return m_list[position].tab;
    }
    double number = 0;
    if (!index.AsNumber(number)) return nullptr;
    const double rounded = rt::RoundHalfEven(number);
    if (rounded < 0 || rounded > Count() - 1) return nullptr;
    return m_list[static_cast<long>(rounded)].tab;
}

long CTabItems::Selected() const
{
    return m_strip ? m_strip->Selected() : -1;
}

void CTabItems::SetSelected(long index)
{
    if (m_strip) m_strip->SetSelected(index);
}

}  // namespace corvane
