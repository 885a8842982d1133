#pragma once
// A strip in a real window for the Wine tests: a host form with the strip along its top and a
// page area below it, test pages that implement ITabForm, and a journal of the strip's events.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/Control.h"
#include "runtime/Form.h"
#include "runtime/Screen.h"
#include "tabstrip/uTab.h"
#include "tests/driver/Driver.h"

namespace harness {

using Journal = std::vector<std::string>;

// The container of the pages: a plain child window.
class PageArea : public rt::Control {
protected:
    const wchar_t* ClassName() const override { return L"TabTestPageArea"; }
};

class TestPage : public rt::Form, public corvane::ITabForm {
public:
    TestPage(Journal& journal, std::string name) : rt::Form(Design()), m_journal(journal), m_name(std::move(name))
    {
    }

    corvane::WindowHandle hWnd() const override { return reinterpret_cast<corvane::WindowHandle>(Handle()); }
    HWND Handle() const { return rt::Window::hWnd(); }
    void Initialize(corvane::IuTab* strip, const std::shared_ptr<corvane::CTabItem>& item) override
    {
        this->strip = strip;
        this->item = item;
        ++initializeCount;
    }
    void RefreshPage() override { m_journal.push_back("RefreshPage " + m_name); }
    void UnloadForm() override { Unload(); }

    corvane::IuTab* strip = nullptr;
    std::weak_ptr<corvane::CTabItem> item;
    int initializeCount = 0;

protected:
    void OnUnload(bool&) override { m_journal.push_back("Unload " + m_name); }

private:
    static rt::FormDesign Design()
    {
        rt::FormDesign d;
        d.className = L"TabTestPage";
        d.sizableBorder = true;  // a frame the strip takes away when it embeds the page
        d.showInTaskbar = false;
        d.clientWidth = 7500;  // 500 x 300 pixels
        d.clientHeight = 4500;
        d.backColor = 0x00FFFFFF;
        return d;
    }

    Journal& m_journal;
    std::string m_name;
};

class StripHost : public rt::Form {
public:
    static constexpr int kWidth = 600;  // pixels
    static constexpr int kPageTop = 40;

    explicit StripHost(long tabStyle) : rt::Form(Design()), m_style(tabStyle) {}

    corvane::uTab strip;
    PageArea pages;

protected:
    void OnLoad() override
    {
        const double tpp = rt::Screen::Scale().TwipsPerPixelX();
        rt::PropertyBag bag;
        bag.Write(L"TabStyle", static_cast<std::int32_t>(m_style));
        strip.ReadProperties(bag);
        strip.Create(hWnd(), 0, 0, kWidth * tpp, 25 * tpp);
        pages.Create(hWnd(), 0, kPageTop * tpp, kWidth * tpp, 200 * tpp);
        strip.SethContainerWnd(pages.hWnd());
        strip.LockReDraw(false);
    }

private:
    static rt::FormDesign Design()
    {
        rt::FormDesign d;
        d.className = L"TabTestHost";
        d.caption = L"标签测试";
        d.clientWidth = kWidth * 15.0;
        d.clientHeight = 260 * 15.0;
        d.startUp = rt::StartUpPosition::Manual;
        d.left = 1500;  // (100, 100) pixels
        d.top = 1500;
        d.backColor = 0x00808080;
        return d;
    }

    long m_style;
};

// One shown host per test suite: destroying a visible window costs Wine about two seconds.
class HostedStrip : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        host = new StripHost(0);
        host->Show();
        ASSERT_TRUE(driver::PumpUntil([] { return host->Visible(); }, 3000));
    }
    static void TearDownTestSuite()
    {
        host->Unload();
        delete host;
        host = nullptr;
    }

    static inline StripHost* host = nullptr;
};

// Real mouse input: moves, and the left button alone.
inline void MoveTo(HWND window, int x, int y)
{
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    driver::MoveMouseTo(p);
}

inline void LeftButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof in);
}

}  // namespace harness
