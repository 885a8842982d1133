// A real form under Wine, driven through the runtime: the order of its events, cancelling an
// unload, modal showing, and twips placement.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/App.h"
#include "runtime/Form.h"
#include "runtime/PictureBox.h"
#include "runtime/Screen.h"
#include "runtime/Timer.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/driver/Driver.h"
#include "tests/driver/Lifetime.h"

namespace {

class RecordingForm : public rt::Form {
public:
    explicit RecordingForm(std::vector<std::string>& log, const wchar_t* className = L"RecordingForm")
        : rt::Form(Design(className)), m_log(log)
    {
    }

    bool cancelQueryUnload = false;
    bool cancelUnload = false;
    rt::UnloadMode lastMode = rt::UnloadMode::FormCode;
    // Runs at the end of the event of that name, as a handler of the owner would; it may delete
    // the form, so the event touches nothing of it afterwards.
    std::function<void()> afterEvent;
    std::string afterEventName;

protected:
    void OnInitialize() override { Record("Initialize"); }
    void OnLoad() override { Record("Load"); }
    void OnResize() override { Record("Resize"); }
    void OnQueryUnload(bool& cancel, rt::UnloadMode mode) override
    {
        lastMode = mode;
        cancel = cancelQueryUnload;
        Record("QueryUnload");
    }
    void OnUnload(bool& cancel) override
    {
        cancel = cancelUnload;
        Record("Unload");
    }
    void OnDpiChanged(int oldDpi, int newDpi) override
    {
        m_log.push_back("DpiChanged " + std::to_string(oldDpi) + " " + std::to_string(newDpi));
    }
    void OnMouseDown(int button, int, double x, double y) override
    {
        m_log.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) + " " +
                        std::to_string(static_cast<int>(y)));
    }

private:
    void Record(const char* event)
    {
        m_log.push_back(event);
        if (afterEvent && afterEventName == event) {
            const std::function<void()> call = afterEvent;
            call();
        }
    }

    static rt::FormDesign Design(const wchar_t* className)
    {
        rt::FormDesign d;
        d.className = className;
        d.caption = L"测试窗体";
        d.clientWidth = 4500;  // 300 x 150 pixels at 96 dpi
        d.clientHeight = 2250;
        d.backColor = 0x00336699;
        return d;
    }

    std::vector<std::string>& m_log;
};

using Events = std::vector<std::string>;

TEST(FormLifecycle, LoadShowResizeUnloadInOrder)
{
    Events log;
    RecordingForm form(log);
    form.Load();
    EXPECT_EQ(log, (Events{"Initialize", "Load", "Resize"}));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(rt::App::LoadedForms(), 1);

    form.Show();
    EXPECT_TRUE(driver::PumpUntil([&] { return form.Visible(); }, 3000));
    EXPECT_EQ(driver::WindowText(form.hWnd()), L"测试窗体");

    log.clear();
    form.Move(1500, 750, 6000, 3000);
    EXPECT_EQ(log, (Events{"Resize"}));
    RECT r;
    ::GetWindowRect(form.hWnd(), &r);
    const rt::TwipsScale s = rt::Screen::Scale();
    EXPECT_EQ(r.left, s.PixelsX(1500));
    EXPECT_EQ(r.right - r.left, s.PixelsX(6000));
    EXPECT_EQ(form.Width(), s.TwipsX(s.PixelsX(6000)));

    log.clear();
    EXPECT_TRUE(form.Unload());
    EXPECT_EQ(log, (Events{"QueryUnload", "Unload"}));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(form.HasWindow());
    EXPECT_EQ(rt::App::LoadedForms(), 0);

    // Loading again runs Load but not Initialize: that belongs to the object.
    log.clear();
    form.Load();
    EXPECT_EQ(log, (Events{"Load", "Resize"}));
    form.Unload();
}

TEST(FormLifecycle, CancelledUnloadKeepsTheWindow)
{
    Events log;
    RecordingForm form(log);
    form.Show();
    form.cancelQueryUnload = true;
    log.clear();
    EXPECT_FALSE(form.Unload());
    EXPECT_EQ(log, (Events{"QueryUnload"}));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(::IsWindow(form.hWnd()));

    // The system close command goes through the same steps with its own reason.
    form.cancelQueryUnload = false;
    form.cancelUnload = true;
    log.clear();
    ::SendMessageW(form.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(log, (Events{"QueryUnload", "Unload"}));
    EXPECT_EQ(form.lastMode, rt::UnloadMode::FormControlMenu);
    EXPECT_TRUE(form.IsLoaded());

    form.cancelUnload = false;
    log.clear();
    ::SendMessageW(form.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(log, (Events{"QueryUnload", "Unload"}));
    EXPECT_FALSE(form.IsLoaded());
}

TEST(FormLifecycle, MouseCoordinatesArriveInTwips)
{
    Events log;
    RecordingForm form(log);
    form.Show();
    log.clear();
    ::SendMessageW(form.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    ::SendMessageW(form.hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    const rt::TwipsScale s = rt::Screen::Scale();
    EXPECT_EQ(log, (Events{"MouseDown 1 " + std::to_string(s.TwipsX(10)) + " " + std::to_string(s.TwipsY(20)),
                           "MouseDown 2 " + std::to_string(s.TwipsX(3)) + " " + std::to_string(s.TwipsY(4))}));
    form.Unload();
}

// Moved to a monitor of another scale, a form takes the rectangle the system suggests, converts
// twips at the new dpi (so its controls keep their twips and grow in pixels) and lays itself out
// again; a rectangle no window can take is ignored. Before the move it tells the system the size
// it wants at the new dpi.
TEST(FormLifecycle, DpiChangeTakesTheSuggestedRectangleAndResizes)
{
    Events log;
    RecordingForm form(log);
    form.Show();
    ASSERT_TRUE(driver::PumpUntil([&] { return form.Visible(); }, 3000));
    rt::PictureBox box;
    ASSERT_TRUE(box.Create(form.hWnd(), 1500, 750, 3000, 1500));  // 100, 50, 200 x 100 at 96 dpi
    const auto rectOf = [](HWND hwnd) {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), ::GetParent(hwnd) ? 2 : 0);
        return r;
    };
    const auto scaledSize = [&](int dpi) {
        SIZE size{0, 0};
        const LRESULT answered = ::SendMessageW(form.hWnd(), rt::kWmGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size));
        return answered ? size : SIZE{-1, -1};
    };
    // 300 x 150 at 96 dpi, borderless: the client alone scales; 187.5 halves to even.
    EXPECT_EQ(std::pair(scaledSize(144).cx, scaledSize(120).cy), std::pair(450L, 188L));

    const struct {
        int dpi;
        RECT suggested;
        bool taken;
        RECT box;  // the control's place at the dpi, in the form's client area
        Events events;
    } cases[] = {
        {144, {40, 30, 40 + 450, 30 + 225}, true, {150, 75, 450, 225}, {"DpiChanged 96 144", "Resize"}},
        {192, {10, 20, 10 + 600, 20 + 300}, true, {200, 100, 600, 300}, {"DpiChanged 144 192", "Resize"}},
        // The same dpi on another monitor: only the rectangle.
        {192, {12, 20, 12 + 640, 20 + 320}, true, {200, 100, 600, 300}, {"Resize"}},
        // Another dpi at the same size: laid out again all the same.
        {144, {12, 20, 12 + 640, 20 + 320}, true, {150, 75, 450, 225}, {"DpiChanged 192 144", "Resize"}},
        {144, {50, 60, 50, 400}, false, {150, 75, 450, 225}, {}},  // no width
        {144, {0, 0, 70000, 400}, false, {150, 75, 450, 225}, {}},  // beyond the coordinates
    };
    for (const auto& c : cases) {
        const RECT before = rectOf(form.hWnd());
        log.clear();
        RECT suggested = c.suggested;
        ::SendMessageW(form.hWnd(), rt::kWmDpiChanged, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
        const RECT after = rectOf(form.hWnd());
        const RECT expected = c.taken ? c.suggested : before, placed = rectOf(box.hWnd());
        EXPECT_TRUE(::EqualRect(&after, &expected)) << c.suggested.right;
        EXPECT_EQ(log, c.events) << c.suggested.right;
        EXPECT_TRUE(::EqualRect(&placed, &c.box)) << c.dpi;
        // The twips stay what the designer gave; the window and its controls report the dpi.
        EXPECT_EQ(std::pair(box.Left(), box.Width()), std::pair(1500L, 3000L)) << c.dpi;
        EXPECT_EQ((std::array{form.Twips().dpiX, rt::Screen::DpiFor(form.hWnd()), rt::Screen::DpiFor(box.hWnd())}),
                  (std::array{c.dpi, c.dpi, c.dpi}));
    }
    // At 144 dpi a pixel is 10 twips: the last rectangle taken, 640 pixels wide, is 6400 twips,
    // and a click 30 pixels in is 300 twips.
    EXPECT_EQ(form.ScaleWidth(), 6400);
    log.clear();
    ::SendMessageW(form.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 15));
    EXPECT_EQ(log, (Events{"MouseDown 1 300 150"}));
    // Asked for 96 dpi again, it wants its 96-dpi size back.
    EXPECT_EQ(scaledSize(96).cx, 427);  // 426.7
    // No rectangle at all is no fault either.
    ::SendMessageW(form.hWnd(), rt::kWmDpiChanged, MAKEWPARAM(96, 96), 0);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(rectOf(box.hWnd()).right, 300);
    // A window made anew takes the screen's dpi again.
    form.Unload();
    form.Show();
    ASSERT_TRUE(driver::PumpUntil([&] { return form.Visible(); }, 3000));
    EXPECT_EQ(form.MovedDpi(), 0);
    EXPECT_EQ(form.ScaleWidth(), 4500);
    form.Unload();
}

// Any program can post the dpi messages with an address and a dpi of its choosing: nothing is
// read or written there and the form stays at its dpi. Sent, as the system sends them, they work.
TEST(FormLifecycle, PostedDpiMessagesTouchNothing)
{
    Events log;
    RecordingForm form(log);
    form.Show();
    ASSERT_TRUE(driver::PumpUntil([&] { return form.Visible(); }, 3000));
    const HWND hwnd = form.hWnd();
    RECT before{}, after{};
    ::GetWindowRect(hwnd, &before);
    SIZE size{-7, -7};
    RECT offered{10, 20, 10 + 3000, 20 + 1500};
    const auto sizeAt = reinterpret_cast<LPARAM>(&size), rectAt = reinterpret_cast<LPARAM>(&offered);
    log.clear();
    for (const LPARAM at : {sizeAt, LPARAM{0x41414140}}) {
        ::PostMessageW(hwnd, rt::kWmGetDpiScaledSize, 120, at);
        ::PostMessageW(hwnd, rt::kWmDpiChanged, MAKEWPARAM(960, 960), at == sizeAt ? rectAt : at);
    }
    EXPECT_TRUE(driver::PumpUntil([&] { MSG m; return !::PeekMessageW(&m, hwnd, 0x2E0, 0x2E4, PM_NOREMOVE); }, 3000));
    ::GetWindowRect(hwnd, &after);
    EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(-7L, -7L));
    EXPECT_EQ(log, Events{});
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_EQ(form.Twips().dpiX, rt::Screen::Scale().dpiX);
    EXPECT_EQ(::SendMessageW(hwnd, rt::kWmGetDpiScaledSize, 144, sizeAt), TRUE);
    EXPECT_EQ(size.cx, 450);
    form.Unload();
}

TEST(FormLifecycle, ModalFormDisablesTheOthersUntilItUnloads)
{
    Events ownerLog, modalLog;
    RecordingForm owner(ownerLog, L"OwnerForm");
    RecordingForm modal(modalLog, L"ModalForm");
    owner.Show();

    bool ownerEnabledDuringModal = true;
    bool modalVisibleDuringModal = false;
    rt::Timer probe([&] {
        if (!modal.IsModalRunning()) return;
        ownerEnabledDuringModal = ::IsWindowEnabled(owner.hWnd()) != FALSE;
        modalVisibleDuringModal = modal.Visible();
        ::PostMessageW(modal.hWnd(), WM_CLOSE, 0, 0);
    });
    probe.Start(100);
    modal.Show(rt::ShowMode::Modal);  // returns once the posted close has unloaded it
    probe.Stop();

    EXPECT_FALSE(ownerEnabledDuringModal);
    EXPECT_TRUE(modalVisibleDuringModal);
    EXPECT_FALSE(modal.IsLoaded());
    EXPECT_TRUE(::IsWindowEnabled(owner.hWnd()));
    EXPECT_EQ(modalLog, (Events{"Initialize", "Load", "Resize", "QueryUnload", "Unload"}));
    owner.Unload();
}

TEST(FormLifecycle, HidingAModalFormEndsItsLoopButKeepsItLoaded)
{
    Events log;
    RecordingForm modal(log, L"ModalForm");
    rt::Timer hide([&] {
        if (modal.IsModalRunning()) modal.Hide();
    });
    hide.Start(100);
    modal.Show(rt::ShowMode::Modal);
    hide.Stop();
    EXPECT_TRUE(modal.IsLoaded());
    EXPECT_FALSE(modal.Visible());
    modal.Unload();
}

// The owner of a modal form unloads and deletes it from a handler that runs inside the form's own
// loop (as the exit box's answer does): the loop must end without touching the dead form, and
// the windows it disabled come back.
TEST(FormLifecycle, ModalFormDeletedInsideItsOwnLoop)
{
    Events ownerLog, modalLog;
    RecordingForm owner(ownerLog, L"OwnerForm");
    owner.Show();
    lifetime::PoisonedBox<RecordingForm> modal;
    modal.Make(modalLog, L"ModalForm");
    int kills = 0;
    rt::Timer killer([&] {
        if (!modal.Alive() || !modal->IsModalRunning()) return;
        ++kills;
        modal->Unload();
        modal.Kill();
    });
    killer.Start(100);
    modal->Show(rt::ShowMode::Modal);
    killer.Stop();

    EXPECT_EQ(kills, 1);
    EXPECT_TRUE(modal.Untouched()) << "the modal loop wrote to the form after it was deleted";
    EXPECT_TRUE(::IsWindowEnabled(owner.hWnd()));
    owner.Unload();
}

// An owner may drop a form from inside the form's own load or unload events (a login window
// that finds the portal gone, a page released by its tab). The runtime must then return
// without touching the dead form, whether the event came from Load, Show, Unload or a close.
TEST(FormLifecycle, FormDeletedInsideItsOwnEvents)
{
    struct Case {
        const char* event;
        const char* how;
    };
    for (const Case c : {Case{"Initialize", "Show"}, Case{"Load", "Load"}, Case{"Load", "Show"},
                         Case{"Load", "SetWindowState"}, Case{"QueryUnload", "Unload"}, Case{"Unload", "Unload"},
                         Case{"Unload", "WM_CLOSE"}}) {
        SCOPED_TRACE(std::string(c.event) + " through " + c.how);
        Events log;
        lifetime::PoisonedBox<RecordingForm> box;
        box.Make(log, L"DoomedForm");
        const bool unloading = c.how == std::string("Unload") || c.how == std::string("WM_CLOSE");
        if (unloading) box->Show();
        box->afterEventName = c.event;
        box->afterEvent = [&box] { box.Kill(); };
        HWND hwnd = box->hWnd();

        const std::string how = c.how;
        if (how == "Load") box->Load();
        if (how == "Show") box->Show();
        if (how == "SetWindowState") box->SetWindowState(rt::WindowState::Minimized);
        if (how == "Unload") {
            EXPECT_TRUE(box->Unload());
        }
        if (how == "WM_CLOSE") ::SendMessageW(hwnd, WM_CLOSE, 0, 0);

        EXPECT_FALSE(box.Alive());
        EXPECT_TRUE(box.Untouched()) << "the runtime wrote to the form after it was deleted";
        EXPECT_EQ(log.back(), c.event) << "no event after the one that deleted the form";
        EXPECT_EQ(rt::App::LoadedForms(), 0);
        if (hwnd) {
            EXPECT_FALSE(::IsWindow(hwnd));
        }
    }
}

TEST(FormLifecycle, WindowStateSetWhileHiddenAppliesWhenShown)
{
    Events log;
    RecordingForm form(log);
    form.Load();
    form.SetWindowState(rt::WindowState::Minimized);
    EXPECT_EQ(form.GetWindowState(), rt::WindowState::Minimized);
    form.Show();
    EXPECT_TRUE(driver::PumpUntil([&] { return ::IsIconic(form.hWnd()) != FALSE; }, 3000));
    form.SetWindowState(rt::WindowState::Normal);
    EXPECT_TRUE(driver::PumpUntil([&] { return form.GetWindowState() == rt::WindowState::Normal; }, 3000));
    form.Unload();
}

// Screen readers hear a form appear and go, once each time, from the system where it raises
// the events and from the form where the system does not (Wine).
TEST(FormLifecycle, ShowingAndHidingAreAnnouncedToReaders)
{
    Events log;
    RecordingForm form(log);
    form.Load();
    driver::WinEventRecorder events(EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE, ::GetCurrentProcessId(), OBJID_WINDOW);
    ASSERT_TRUE(events);
    form.Show();
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_SHOW, form.hWnd(), CHILDID_SELF, 3000));
    form.Hide();
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_HIDE, form.hWnd(), CHILDID_SELF, 3000));
    form.Show();
    ASSERT_TRUE(driver::PumpUntil([&] { return events.Count(EVENT_OBJECT_SHOW, form.hWnd(), CHILDID_SELF) == 2; }, 3000));
    driver::Pump(200);
    EXPECT_EQ(events.Count(EVENT_OBJECT_SHOW, form.hWnd(), CHILDID_SELF), 2);
    EXPECT_EQ(events.Count(EVENT_OBJECT_HIDE, form.hWnd(), CHILDID_SELF), 1);
    form.Unload();
}

TEST(FormLifecycle, BackColourIsPaintedOnScreen)
{
    Events log;
    RecordingForm form(log);
    form.Show();
    ::SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    driver::Pump(300);
    form.Refresh();
    RECT r;
    ::GetWindowRect(form.hWnd(), &r);
    driver::Capture shot;
    bool painted = driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(r);
            return shot.CountNear({0, 0, shot.width(), shot.height()}, 0x00336699, 2) > shot.width() * shot.height() / 2;
        },
        5000);
    driver::Screenshot(form.hWnd(), L"runtime_form");
    EXPECT_TRUE(painted) << "the form's client area does not show its back colour";
    form.Unload();
}

}  // namespace
