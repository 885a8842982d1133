// The self-subclasser on real windows, in the manner of Wine's message-sequence tests: the
// window procedure and the owner's handler both write to one log, which is compared with the
// sequence each case expects.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/App.h"
#include "subclass/CSubclass.h"
#include "tests/driver/Driver.h"
#include "tests/driver/MessageSequence.h"

namespace {

using corvane::ALL_MESSAGES;
using corvane::CSubclass;
using corvane::MSG_AFTER;
using corvane::MSG_BEFORE;
using corvane::MSG_BEFORE_AFTER;
using driver::kAfter;
using driver::kBefore;
using driver::kLParam;
using driver::kSent;
using driver::Msg;

constexpr UINT kApp = WM_APP;
driver::MessageSequence* g_log = nullptr;

bool Logged(UINT msg)
{
    return (msg >= WM_APP && msg < WM_APP + 100) || msg == WM_DESTROY || msg == WM_NCDESTROY;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_log && Logged(msg)) g_log->Add(msg, kSent, wParam, lParam);
    if (msg >= WM_APP && msg < WM_APP + 100) return 0x100 + (msg - WM_APP);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(bool unicode = true)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CSubclassTestWindow";
        ::RegisterClassW(&wc);
        WNDCLASSA wca{};
        wca.lpfnWndProc = RecordingProc;
        wca.hInstance = ::GetModuleHandleW(nullptr);
        wca.lpszClassName = "CSubclassTestWindowA";
        ::RegisterClassA(&wca);
        registered = true;
    }
    // Hidden windows: creating and destroying them costs nothing under Xvfb.
    if (unicode) return ::CreateWindowExW(0, L"CSubclassTestWindow", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    return ::CreateWindowExA(0, "CSubclassTestWindowA", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
}

class Subclassing : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log = &log;
        rt::App::SetLogSink([this](const std::wstring& text) { events.push_back(text); });
        hwnd = MakeWindow();
        original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
        sub.SetWindowProc([this](bool before, bool& handled, LRESULT& ret, HWND h, UINT msg, WPARAM w, LPARAM l,
                                 LONG_PTR& user) {
            if (Logged(msg)) log.Add(msg, before ? kBefore : kAfter, w, l);
            if (onMessage) onMessage(before, handled, ret, h, msg, user);
        });
    }
    void TearDown() override
    {
        sub.ssc_Terminate();
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
        rt::App::SetLogSink(nullptr);
        g_log = nullptr;
        // Every record is released 100 ms after its last message.
        EXPECT_TRUE(driver::PumpUntil([] { return CSubclass::LiveRecords() == 0; }, 3000));
    }

    std::string Check(const Msg* expected)
    {
        std::string diff = log.Compare(expected);
        log.Flush();
        return diff;
    }
    WNDPROC CurrentProc() const { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)); }

    driver::MessageSequence log;
    std::vector<std::wstring> events;
    CSubclass sub;
    HWND hwnd = nullptr;
    WNDPROC original = nullptr;
    std::function<void(bool, bool&, LRESULT&, HWND, UINT, LONG_PTR&)> onMessage;
};

TEST_F(Subclassing, BeforeAndAfterPhasesAroundTheWindowProcedure)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE);
    sub.ssc_AddMsg(hwnd, kApp + 2, MSG_AFTER);
    sub.ssc_AddMsg(hwnd, kApp + 3, MSG_BEFORE_AFTER);
    LRESULT seenAfter = 0;
    onMessage = [&](bool before, bool&, LRESULT& ret, HWND, UINT msg, LONG_PTR&) {
        if (!before && msg == kApp + 2) {
            seenAfter = ret;
            ret = 77;  // the after phase changes the result
        }
    };
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 1, 1, 2), 0x101);
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 2, 3, 4), 77);
    EXPECT_EQ(seenAfter, 0x102);
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 3, 5, 6), 0x103);
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 4, 7, 8), 0x104);
    static const Msg expected[] = {
        {kApp + 1, kBefore | kLParam, 1, 2}, {kApp + 1, kSent},
        {kApp + 2, kSent},                   {kApp + 2, kAfter | kLParam, 3, 4},
        {kApp + 3, kBefore},                 {kApp + 3, kSent}, {kApp + 3, kAfter},
        {kApp + 4, kSent},                   {0}};
    EXPECT_EQ(Check(expected), "");
    EXPECT_TRUE(events.empty());
}

TEST_F(Subclassing, HandledMessagesNeverReachTheWindow)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE_AFTER);
    onMessage = [&](bool before, bool& handled, LRESULT& ret, HWND, UINT, LONG_PTR&) {
        if (before) {
            handled = true;
            ret = 1;
        }
    };
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 1, 0, 0), 1);
    static const Msg expected[] = {{kApp + 1, kBefore}, {0}};
    EXPECT_EQ(Check(expected), "");
}

TEST_F(Subclassing, TableOverflowAtTheThirtyThirdMessage)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    for (UINT m = 1; m <= 32; ++m) sub.ssc_AddMsg(hwnd, kApp + m, MSG_BEFORE);
    EXPECT_TRUE(events.empty());
    // The before table is full; the after table of the same call still takes the message.
    sub.ssc_AddMsg(hwnd, kApp + 33, MSG_BEFORE_AFTER);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], L"CSubclass.zAddMsg: Message table overflow. Either increase the value of Const "
                         L"MSG_ENTRIES or use ALL_MESSAGES instead of specific message values");
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    ::SendMessageW(hwnd, kApp + 32, 0, 0);
    ::SendMessageW(hwnd, kApp + 33, 0, 0);
    static const Msg expected[] = {{kApp + 1, kBefore},  {kApp + 1, kSent},  {kApp + 32, kBefore},
                                   {kApp + 32, kSent},   {kApp + 33, kSent}, {kApp + 33, kAfter},
                                   {0}};
    EXPECT_EQ(Check(expected), "");

    // A deleted message frees its slot for the next one.
    sub.ssc_DelMsg(hwnd, MSG_BEFORE, {static_cast<std::int32_t>(kApp + 5)});
    sub.ssc_AddMsg(hwnd, kApp + 40, MSG_BEFORE);
    EXPECT_EQ(events.size(), 1u);
    ::SendMessageW(hwnd, kApp + 5, 0, 0);
    ::SendMessageW(hwnd, kApp + 40, 0, 0);
    static const Msg reused[] = {{kApp + 5, kSent}, {kApp + 40, kBefore}, {kApp + 40, kSent}, {0}};
    EXPECT_EQ(Check(reused), "");
}

TEST_F(Subclassing, AllMessagesThenASpecificMessage)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    sub.ssc_AddMsg(hwnd, ALL_MESSAGES, MSG_BEFORE);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    ::SendMessageW(hwnd, kApp + 2, 0, 0);
    sub.ssc_AddMsg(hwnd, kApp + 2, MSG_BEFORE);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    ::SendMessageW(hwnd, kApp + 2, 0, 0);
    static const Msg expected[] = {{kApp + 1, kBefore}, {kApp + 1, kSent}, {kApp + 2, kBefore}, {kApp + 2, kSent},
                                   {kApp + 1, kSent},   {kApp + 2, kBefore}, {kApp + 2, kSent}, {0}};
    EXPECT_EQ(Check(expected), "");
}

TEST_F(Subclassing, UnsubclassFromInsideTheCallback)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE_AFTER);
    sub.ssc_AddMsg(hwnd, kApp + 2, MSG_BEFORE_AFTER);
    WNDPROC procDuringNested = nullptr;
    onMessage = [&](bool before, bool&, LRESULT&, HWND h, UINT msg, LONG_PTR&) {
        if (before && msg == kApp + 1) {
            // A nested message of the same window, then the unsubclass while both are running.
            ::SendMessageW(h, kApp + 2, 0, 0);
            sub.ssc_UnSubclass(h);
            ::SendMessageW(h, kApp + 3, 0, 0);
            procDuringNested = CurrentProc();
        }
    };
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 1, 0, 0), 0x101);  // completes normally
    // Not restored while the outer message was in progress; restored once it finished.
    EXPECT_NE(procDuringNested, original);
    EXPECT_EQ(CurrentProc(), original);
    ::SendMessageW(hwnd, kApp + 2, 0, 0);
    static const Msg expected[] = {{kApp + 1, kBefore}, {kApp + 2, kBefore}, {kApp + 2, kSent}, {kApp + 2, kAfter},
                                   {kApp + 3, kSent},   {kApp + 1, kSent},   {kApp + 2, kSent}, {0}};
    EXPECT_EQ(Check(expected), "");
    EXPECT_TRUE(events.empty());
}

TEST_F(Subclassing, UnsubclassOutsideAnyMessageRestoresAtTheNextOne)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE);
    sub.ssc_UnSubclass(hwnd);
    EXPECT_NE(CurrentProc(), original);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    EXPECT_EQ(CurrentProc(), original);
    static const Msg expected[] = {{kApp + 1, kSent}, {0}};
    EXPECT_EQ(Check(expected), "");
    // The window can be subclassed again at once.
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_AFTER);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    static const Msg again[] = {{kApp + 1, kSent}, {kApp + 1, kAfter}, {0}};
    EXPECT_EQ(Check(again), "");
}

TEST_F(Subclassing, DestructionWithoutUnsubclassEndsItByItself)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 42));
    sub.ssc_AddMsg(hwnd, WM_DESTROY, MSG_BEFORE);
    sub.ssc_AddMsg(hwnd, WM_NCDESTROY, MSG_AFTER);
    ::DestroyWindow(hwnd);
    static const Msg expected[] = {{WM_DESTROY, kBefore}, {WM_DESTROY, kSent}, {WM_NCDESTROY, kSent},
                                   {WM_NCDESTROY, kAfter}, {0}};
    EXPECT_EQ(Check(expected), "");
    // Until the release the record is still there; 100 ms after the last message it is gone,
    // and asking about the window then is not an error.
    EXPECT_EQ(sub.zGet_lParamUser(hwnd), 42);
    EXPECT_TRUE(driver::PumpUntil([] { return CSubclass::LiveRecords() == 0; }, 3000));
    EXPECT_EQ(sub.zGet_lParamUser(hwnd), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(Subclassing, OwnerDestroyedInsideItsOwnCallback)
{
    auto owned = std::make_unique<CSubclass>();
    owned->SetWindowProc([&](bool before, bool&, LRESULT&, HWND h, UINT msg, WPARAM, LPARAM, LONG_PTR&) {
        if (Logged(msg)) log.Add(msg, before ? kBefore : kAfter);
        if (msg == kApp + 1) owned.reset();  // releases the subclasser in the middle of a message
        (void)h;
    });
    ASSERT_TRUE(owned->ssc_Subclass(hwnd, 0));
    owned->ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE_AFTER);
    EXPECT_EQ(::SendMessageW(hwnd, kApp + 1, 0, 0), 0x101);
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(CurrentProc(), original);
    static const Msg expected[] = {{kApp + 1, kBefore}, {kApp + 1, kSent}, {0}};
    EXPECT_EQ(Check(expected), "");
}

TEST_F(Subclassing, ErrorsGoToTheEventLog)
{
    // Nothing subclassed by this instance yet.
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE);
    EXPECT_FALSE(sub.ssc_Subclass(reinterpret_cast<HWND>(0x1234), 0));
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0));
    EXPECT_FALSE(sub.ssc_Subclass(hwnd, 0));
    HWND other = MakeWindow();
    sub.ssc_AddMsg(other, kApp + 1, MSG_BEFORE);
    EXPECT_EQ(sub.ssc_CallOrigWndProc(other, kApp + 1, 0, 0), 0);
    sub.ssc_UnSubclass(other);  // silent
    CSubclass second;  // a second subclasser of the same window, without a handler
    EXPECT_FALSE(second.ssc_Subclass(hwnd, 0));
    second.SetWindowProc([](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
    EXPECT_FALSE(second.ssc_Subclass(hwnd, 0));
    ::DestroyWindow(other);
    log.Flush();
    EXPECT_EQ(events, (std::vector<std::wstring>{
                          L"CSubclass.zMap_VFunction: Thunk hasn't been initialized",
                          L"CSubclass.ssc_Subclass: Invalid window handle",
                          L"CSubclass.ssc_Subclass: Window handle is already subclassed",
                          L"CSubclass.zMap_VFunction: Thunk type for  does not exist",
                          L"CSubclass.zMap_VFunction: Thunk type for  does not exist",
                          L"CSubclass.ssc_Subclass: Callback method not found",
                          L"CSubclass.ssc_Subclass: Window handle is already subclassed",
                      }));
    // After the refused second subclassing, messages still arrive once.
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    static const Msg once[] = {{kApp + 1, kBefore}, {kApp + 1, kSent}, {0}};
    EXPECT_EQ(Check(once), "");
}

TEST_F(Subclassing, UserValueByReferenceAndOriginalProcedure)
{
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 10));
    sub.ssc_AddMsg(hwnd, kApp + 1, MSG_BEFORE);
    onMessage = [&](bool, bool&, LRESULT&, HWND, UINT, LONG_PTR& user) { user += 1; };
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    EXPECT_EQ(sub.zGet_lParamUser(hwnd), 12);
    sub.zSet_lParamUser(hwnd, 5);
    EXPECT_EQ(sub.zGet_lParamUser(hwnd), 5);
    log.Flush();
    EXPECT_EQ(sub.ssc_CallOrigWndProc(hwnd, kApp + 9, 0, 0), 0x109);
    static const Msg expected[] = {{kApp + 9, kSent}, {0}};
    EXPECT_EQ(Check(expected), "");
}

TEST_F(Subclassing, UnicodeFlagFollowsTheWindow)
{
    bool unicode = true;
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0, unicode));
    EXPECT_TRUE(unicode);
    HWND ansi = MakeWindow(false);
    unicode = true;
    ASSERT_TRUE(sub.ssc_Subclass(ansi, 0, unicode));
    EXPECT_FALSE(unicode);
    sub.ssc_AddMsg(ansi, WM_SETTEXT, MSG_BEFORE);
    std::string seen;
    
    sub.SetWindowProc([&](bool, bool&, LRESULT&, HWND, UINT msg, WPARAM, LPARAM l, LONG_PTR&) {
        if (msg == WM_SETTEXT) seen = reinterpret_cast<const char*>(l);
    });
    ::SetWindowTextW(ansi, L"abc");
    EXPECT_EQ(seen, "abc");  // an ANSI record sees the ANSI form of the message
    ::DestroyWindow(ansi);
}

TEST_F(Subclassing, LostCallbackDestroysAnApiWindow)
{
    bool unicode = false;
    ASSERT_TRUE(sub.ssc_Subclass(hwnd, 0, unicode, true));
    sub.SetWindowProc(nullptr);
    ::SendMessageW(hwnd, kApp + 1, 0, 0);
    EXPECT_FALSE(::IsWindow(hwnd));
}

}  // namespace
