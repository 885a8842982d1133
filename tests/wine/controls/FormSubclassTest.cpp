// cFormSubclass on a real window under Wine: every message reaches the owner before the window's
// procedure, the owner's changes and answers take effect, a second subclassing delivers twice,
// and releasing the object (also from inside its own event) restores the window.

#include <gtest/gtest.h>

#include <memory>

#include "subclass/cFormSubclass.h"
#include "tests/driver/MessageSequence.h"
#include "tests/wine/controls/ControlsTestSupport.h"

using corvane::cFormSubclass;
using driver::kBefore;
using driver::kSent;
using driver::kWParam;
using driver::Msg;

namespace {

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kAnswered = WM_APP + 2;
constexpr UINT kChanged = WM_APP + 3;
constexpr UINT kRelease = WM_APP + 4;
constexpr UINT kNested = WM_APP + 5;

// A hidden form whose procedure logs the application messages it sees.
class LoggingForm : public controls_test::HostForm {
public:
    explicit LoggingForm(driver::MessageSequence& seq) : HostForm(L"SubclassedForm", 50, 50, 100, 80), m_seq(seq) {}

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg >= WM_APP) {
            m_seq.Add(msg, kSent, wParam, lParam);
            return 7;
        }
        return HostForm::HandleMessage(msg, wParam, lParam);
    }

private:
    driver::MessageSequence& m_seq;
};

class FormSubclassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<LoggingForm>(seq);
        form->Load();
        original = ::GetWindowLongPtrW(form->hWnd(), GWLP_WNDPROC);
    }
    void TearDown() override
    {
        subclass.reset();
        form->Unload();
    }

    void Watch(cFormSubclass& s)
    {
        s.MsgCome = [this](bool before, bool& handled, LRESULT& result, HWND& hwnd, UINT& msg, WPARAM& wParam,
                           LPARAM& lParam) { OnMsgCome(before, handled, result, hwnd, msg, wParam, lParam); };
    }

    void OnMsgCome(bool before, bool& handled, LRESULT& result, HWND& hwnd, UINT& msg, WPARAM& wParam, LPARAM& lParam)
    {
        if (msg < WM_APP) return;
        seq.Add(msg, before ? kBefore : driver::kAfter, wParam, lParam);
        EXPECT_EQ(hwnd, form->hWnd());
        if (msg == kAnswered) {
            handled = true;
            result = 42;
        } else if (msg == kChanged) {
            wParam = 99;
        } else if (msg == kRelease) {
            subclass.reset();  // the owner goes away in the middle of a dispatch
        } else if (msg == kNested) {
            ::SendMessageW(hwnd, kRelease, 1, 0);
        }
    }

    driver::MessageSequence seq;
    std::unique_ptr<LoggingForm> form;
    std::unique_ptr<cFormSubclass> subclass;
    LONG_PTR original = 0;
};

TEST_F(FormSubclassTest, EveryMessageArrivesBeforeTheProcedure)
{
    subclass = std::make_unique<cFormSubclass>();
    Watch(*subclass);
    EXPECT_TRUE(subclass->AddWindowMsgs(form->hWnd()));
    seq.Flush();
    EXPECT_EQ(::SendMessageW(form->hWnd(), kProbe, 1, 2), 7);
    ::PostMessageW(form->hWnd(), kProbe, 3, 4);
    driver::Pump(50);
    static const Msg expected[] = {{kProbe, kBefore | kWParam, 1, 0}, {kProbe, kSent | kWParam, 1, 0},
                                   {kProbe, kBefore | kWParam, 3, 0}, {kProbe, kSent | kWParam, 3, 0}, {0, 0, 0, 0}};
    EXPECT_EQ(seq.Compare(expected), "");
}

TEST_F(FormSubclassTest, HandledMessagesAndChangedValues)
{
    subclass = std::make_unique<cFormSubclass>();
    Watch(*subclass);
    subclass->AddWindowMsgs(form->hWnd());
    seq.Flush();
    // Answered by the owner: the procedure never sees it and the caller gets lReturn.
    EXPECT_EQ(::SendMessageW(form->hWnd(), kAnswered, 5, 0), 42);
    // A changed wParam is what the procedure sees.
    EXPECT_EQ(::SendMessageW(form->hWnd(), kChanged, 5, 0), 7);
    static const Msg expected[] = {{kAnswered, kBefore | kWParam, 5, 0},
                                   {kChanged, kBefore | kWParam, 5, 0},
                                   {kChanged, kSent | kWParam, 99, 0},
                                   {0, 0, 0, 0}};
    EXPECT_EQ(seq.Compare(expected), "");
}

TEST_F(FormSubclassTest, SecondSubclassingDeliversTwiceAndReleaseRestores)
{
    subclass = std::make_unique<cFormSubclass>();
    Watch(*subclass);
    subclass->AddWindowMsgs(form->hWnd());
    subclass->AddWindowMsgs(form->hWnd());
    EXPECT_EQ(subclass->WindowCount(), 2u);
    seq.Flush();
    ::SendMessageW(form->hWnd(), kProbe, 0, 0);
    static const Msg twice[] = {{kProbe, kBefore}, {kProbe, kBefore}, {kProbe, kSent}, {0, 0}};
    EXPECT_EQ(seq.Compare(twice), "");

    // DeleteWindowMsg leaves the window subclassed; releasing the object ends it.
    EXPECT_FALSE(subclass->DeleteWindowMsg(form->hWnd()));
    seq.Flush();
    ::SendMessageW(form->hWnd(), kProbe, 0, 0);
    EXPECT_EQ(seq.Log().size(), 3u);
    subclass.reset();
    EXPECT_EQ(::GetWindowLongPtrW(form->hWnd(), GWLP_WNDPROC), original);
    seq.Flush();
    ::SendMessageW(form->hWnd(), kProbe, 0, 0);
    static const Msg plain[] = {{kProbe, kSent}, {0, 0}};
    EXPECT_EQ(seq.Compare(plain), "");
}

TEST_F(FormSubclassTest, ReleaseFromInsideMsgComeWaitsForTheDispatch)
{
    subclass = std::make_unique<cFormSubclass>();
    Watch(*subclass);
    subclass->AddWindowMsgs(form->hWnd());
    seq.Flush();
    // The handler of the nested message releases the object while the outer dispatch is still
    // running; both messages still reach the window's procedure.
    EXPECT_EQ(::SendMessageW(form->hWnd(), kNested, 0, 0), 7);
    EXPECT_FALSE(subclass);
    static const Msg expected[] = {{kNested, kBefore}, {kRelease, kBefore}, {kRelease, kSent}, {kNested, kSent}, {0, 0}};
    EXPECT_EQ(seq.Compare(expected), "");
    EXPECT_EQ(::GetWindowLongPtrW(form->hWnd(), GWLP_WNDPROC), original);
    seq.Flush();
    ::SendMessageW(form->hWnd(), kProbe, 0, 0);
    EXPECT_EQ(seq.Log().size(), 1u);
}

TEST_F(FormSubclassTest, AWindowThatGoesEndsItsSubclassing)
{
    subclass = std::make_unique<cFormSubclass>();
    Watch(*subclass);
    subclass->AddWindowMsgs(form->hWnd());
    form->Unload();
    EXPECT_EQ(subclass->WindowCount(), 0u);
    subclass.reset();
    form->Load();  // TearDown unloads it again
}

}  // namespace
