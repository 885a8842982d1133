#pragma once
// Stand-ins for the strip, its pages and the window operations, recording what the tab model
// asks of them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tabstrip/CTabItem.h"
#include "tabstrip/CTabItems.h"
#include "tabstrip/ITabForm.h"
#include "tabstrip/IuTab.h"
#include "tabstrip/TabLayout.h"
#include "tabstrip/TabWindows.h"

namespace fakes {

using corvane::WindowHandle;

struct Journal {
    std::vector<std::string> calls;
    void Note(std::string s) { calls.push_back(std::move(s)); }
};

class FakePage : public corvane::ITabForm {
public:
    FakePage(Journal& journal, WindowHandle hwnd) : m_journal(journal), m_hwnd(hwnd) {}

    WindowHandle hWnd() const override { return m_hwnd; }
    void Initialize(corvane::IuTab* strip, const std::shared_ptr<corvane::CTabItem>& item) override
    {
        m_journal.Note("Initialize " + std::to_string(m_hwnd));
        this->strip = strip;
        this->item = item;
        ++initializeCount;
        if (auto hook = initializeHook) hook();
    }
    void RefreshPage() override { m_journal.Note("RefreshPage " + std::to_string(m_hwnd)); }
    void UnloadForm() override
    {
        m_journal.Note("Unload " + std::to_string(m_hwnd));
        ++unloadCount;
        if (auto hook = unloadHook) hook();
    }

    corvane::IuTab* strip = nullptr;
    std::weak_ptr<corvane::CTabItem> item;
    int initializeCount = 0;
    int unloadCount = 0;
    // Run last (through a copy) by Initialize and UnloadForm: they may destroy the strip.
    std::function<void()> initializeHook;
    std::function<void()> unloadHook;

private:
    Journal& m_journal;
    WindowHandle m_hwnd;
};

class FakeWindows : public corvane::ITabWindows {
public:
    explicit FakeWindows(Journal& journal) : m_journal(journal) {}
    long WindowStyle(WindowHandle w) override
    {
        m_journal.Note("Style " + std::to_string(w));
        return static_cast<long>(0x10CF0000 + w);
    }
    void Activate(WindowHandle w) override { m_journal.Note("Activate " + std::to_string(w)); }
    void ReleaseToDesktop(WindowHandle page, long style, WindowHandle parent) override
    {
        m_journal.Note("Release " + std::to_string(page) + " style " + std::to_string(style) + " redraw " +
                       std::to_string(parent));
    }

private:
    Journal& m_journal;
};

// Behaves as the strip does towards its collection (selection repair, veto), records the rest.
class FakeStrip : public corvane::IuTab {
public:
    explicit FakeStrip(Journal& journal) : m_journal(journal), windows(journal), items(windows)
    {
        items.SetStrip(this);
    }

    void Add(const std::wstring& caption, const std::shared_ptr<corvane::ITabForm>&,
             const std::optional<std::wstring>&, const corvane::TabIndex&) override
    {
        m_journal.Note("strip.Add " + std::string(caption.begin(), caption.end()));
        selected = corvane::SelectionAfterAdd(selected, items.Count());
    }
    bool BeforeRemove(long index) override
    {
        m_journal.Note("strip.BeforeRemove " + std::to_string(index));
        const bool keep = !veto;
        if (auto hook = beforeRemoveHook) hook();
        return keep;
    }
    void Remove(long index) override
    {
        m_journal.Note("strip.Remove " + std::to_string(index));
        selected = corvane::SelectionAfterRemove(selected, index);
        if (auto hook = removeHook) hook();
    }
    void Clear() override
    {
        m_journal.Note("strip.Clear");
        selected = 0;
    }
    void Redraw(bool) override { m_journal.Note("strip.Redraw"); }
    void ChangeForm(corvane::CTabItem&, const std::shared_ptr<corvane::ITabForm>& form) override
    {
        m_journal.Note("strip.ChangeForm " + std::to_string(form ? form->hWnd() : 0));
    }
    long Selected() const override { return selected; }
    void SetSelected(long index) override
    {
        if (index < 0)
            selected = -1;
        else if (index <= items.Count() - 1)
            selected = index;
    }
    corvane::CTabItems& TabItems() override { return items; }
    WindowHandle hWnd() const override { return 500; }
    WindowHandle hParent() const override { return 600; }

    long selected = -1;
    bool veto = false;
    // Run last (through a copy) by BeforeRemove and Remove, as the real strip's handlers run:
    // they may destroy this strip.
    std::function<void()> beforeRemoveHook;
    std::function<void()> removeHook;

private:
    Journal& m_journal;

public:
    FakeWindows windows;
    corvane::CTabItems items;
};

}  // namespace fakes
