// The keyboard message filters in every loop of the runtime: a key a filter takes is neither
// translated nor dispatched, other keys and other messages pass, filters may come and go while
// one runs, and App::DoEvents, App::Run and the modal loop all offer the keys.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/App.h"
#include "runtime/Form.h"
#include "runtime/MessageFilter.h"
#include "runtime/Timer.h"
#include "tests/driver/Driver.h"
#include "tests/driver/PlainForm.h"

namespace {

using Seen = std::vector<std::string>;

std::string Name(UINT msg, WPARAM wParam)
{
    switch (msg) {
    case WM_KEYDOWN: return "keydown " + std::to_string(wParam);
    case WM_KEYUP: return "keyup " + std::to_string(wParam);
    case WM_CHAR: return "char " + std::to_string(wParam);
    default: return "msg " + std::to_string(msg);
    }
}

// A plain window recording the keys and the one application message that reach its procedure.
class Target {
public:
    Target()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Target::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MessageFilterTarget";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Target() { ::DestroyWindow(m_hwnd); }
    HWND hwnd() const { return m_hwnd; }
    Seen seen;

    void PostKey(WPARAM vk)
    {
        ::PostMessageW(m_hwnd, WM_KEYDOWN, vk, 1);
        ::PostMessageW(m_hwnd, WM_KEYUP, vk, 0xC0000001);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<Target*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || msg == WM_APP)) self->seen.push_back(Name(msg, wParam));
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    HWND m_hwnd = nullptr;
};

TEST(MessageFilter, TakenKeysAreNeitherTranslatedNorDispatched)
{
    Target target;
    Seen offered;
    rt::MessageFilterRegistration filter([&](MSG& msg) {
        offered.push_back(Name(msg.message, msg.wParam));
        return msg.wParam == 'A';  // takes both messages of the A key
    });
    ::PostMessageW(target.hwnd(), WM_APP, 0, 0);
    target.PostKey('A');
    target.PostKey('B');
    EXPECT_TRUE(rt::App::DoEvents());
    // 'B' was translated: its character, posted behind the queued key-up, went through the
    // filter too.
    EXPECT_EQ(offered, (Seen{"keydown 65", "keyup 65", "keydown 66", "keyup 66", "char 98"}));
    EXPECT_EQ(target.seen, (Seen{"msg 32768", "keydown 66", "keyup 66", "char 98"}));

    filter.Reset();
    offered.clear();
    target.seen.clear();
    target.PostKey('A');
    rt::App::DoEvents();
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(target.seen, (Seen{"keydown 65", "keyup 65", "char 97"}));
}

TEST(MessageFilter, LatestFirstAndFiltersMayLeaveWhileOneRuns)
{
    Target target;
    Seen calls;
    rt::MessageFilterRegistration first([&](MSG&) {
        calls.push_back("first");
        return false;
    });
    auto second = std::make_unique<rt::MessageFilterRegistration>();
    rt::MessageFilterRegistration third([&](MSG& msg) {
        calls.push_back("third");
        // A filter that closes things: removes itself and the one registered before it.
        if (msg.message == WM_KEYDOWN) second.reset();
        return false;
    });
    *second = rt::MessageFilterRegistration([&](MSG&) {
        calls.push_back("second");
        return false;
    });
    rt::MessageFilterRegistration fourth;  // empty registrations are harmless
    ::PostMessageW(target.hwnd(), WM_KEYDOWN, 'C', 1);
    rt::App::DoEvents();
    // "second" was registered last, so it was asked first, before "third" removed it.
    EXPECT_EQ(calls, (Seen{"second", "third", "first", "third", "first"}));
    EXPECT_EQ(target.seen, (Seen{"keydown 67", "char 99"}));

    // Moving a registration keeps it registered once.
    calls.clear();
    rt::MessageFilterRegistration moved = std::move(third);
    EXPECT_FALSE(third);
    ::PostMessageW(target.hwnd(), WM_KEYUP, 'C', 0xC0000001);
    rt::App::DoEvents();
    EXPECT_EQ(calls, (Seen{"third", "first"}));
}

TEST(MessageFilter, ModalLoopAndAppRunOfferKeys)
{
    driver::PlainForm form(driver::HostDesign(L"MessageFilterForm", 1500, 1500));
    Target target;
    int offeredInModal = 0;
    rt::MessageFilterRegistration modalFilter([&](MSG& msg) {
        if (msg.hwnd != target.hwnd() || !form.IsModalRunning()) return false;
        ++offeredInModal;
        form.Hide();  // ends the modal loop
        return true;
    });
    rt::Timer post([&] { target.PostKey('M'); });
    post.Start(50);
    form.Show(rt::ShowMode::Modal);
    post.Stop();
    EXPECT_GE(offeredInModal, 1);
    EXPECT_TRUE(target.seen.empty());
    modalFilter.Reset();

    // App::Run ends when the last form unloads: here from inside a filter.
    int offeredInRun = 0;
    rt::MessageFilterRegistration runFilter([&](MSG& msg) {
        if (msg.hwnd != target.hwnd()) return false;
        ++offeredInRun;
        form.Unload();
        return true;
    });
    target.PostKey('R');
    EXPECT_EQ(rt::App::Run(), 0);
    EXPECT_EQ(offeredInRun, 1);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(target.seen.empty());
}

}  // namespace
