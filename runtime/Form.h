#pragma once
// A form: a top-level window with the lifecycle the program's windows are written against.
//
//   Load()   -> OnInitialize (once per object), window created hidden, OnLoad, OnResize
//   Show()   -> loads when needed, then shows; Show(Modal) runs a message loop of its own until
//               the form is hidden or unloaded, with the program's other windows disabled
//   Unload() -> OnQueryUnload(cancel, mode), OnUnload(cancel), window destroyed
//
// Positions and sizes are twips; the platform calls below convert to pixels with the form's own
// pixels per inch: the screen's, until the window moves to a monitor of another dpi, then that
// monitor's (WM_DPICHANGED). The form and its controls are then laid out again at the new dpi.
// When the last loaded form unloads, the message loop of App::Run ends.

#include <windows.h>

#include <string>

#include "runtime/DrawingWindow.h"
#include "runtime/Twips.h"

namespace rt {

enum class ShowMode { Modeless = 0, Modal = 1 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class StartUpPosition { Manual = 0, CenterScreen = 2 };
// Why a form is unloading, as OnQueryUnload hears it.
enum class UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2, AppTaskManager = 3 };

inline constexpr double kKeep = -1e300;  // Move: leave this coordinate as it is

// Newer than the headers' target: the window moved to a monitor of another dpi, and the system
// asks which size the window wants at a dpi before it offers a rectangle.
inline constexpr UINT kWmDpiChanged = 0x02E0;
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

// Sent by a form to every window inside it when it moved to a monitor of another dpi, before it
// lays itself out there: fonts, pictures and layouts made for the old dpi are made anew.
// (The system's own notices to child windows come at times of its choosing, and not at all under
// Wine; the form's are sent in its order, once.)
UINT DpiChangeNotice();

struct FormDesign {
    const wchar_t* className = L"CorvaneForm";
    std::wstring caption;
    double clientWidth = 4800;  // twips
    double clientHeight = 3600;
    double left = 0;  // twips, with StartUpPosition::Manual
    double top = 0;
    StartUpPosition startUp = StartUpPosition::CenterScreen;
    bool sizableBorder = false;  // true: caption and sizing frame; false: borderless
    bool showInTaskbar = true;
    // The form lives only inside another window (a tab page): until then its window is
    // message-only, never a window of the desktop, which shells list the moment one is made.
    bool embeddedOnly = false;
    DWORD backColor = 0x8000000F;  // system colour reference (button face) or 0x00BBGGRR
    int iconResource = 0;  // icon group of the executable, 0 = none
};

class Form : public DrawingWindow {
public:
    ~Form() override;

    void Load();
    void Show(ShowMode mode = ShowMode::Modeless);
    void Hide();
    // Returns false when OnQueryUnload or OnUnload cancelled.
    bool Unload(UnloadMode mode = UnloadMode::FormCode);

    bool IsLoaded() const { return m_loaded; }
    bool IsModalRunning() const { return m_modalDepth > 0; }
    bool Visible() const;
    void SetVisible(bool visible);
    WindowState GetWindowState() const;
    void SetWindowState(WindowState state);

    // Window position and outer size, twips.
    void Move(double left, double top, double width = kKeep, double height = kKeep);
    long Left() const;
    long Top() const;
    long Width() const;
    long Height() const;
    // Client area, twips.
    long ScaleWidth() const;
    long ScaleHeight() const;

    // The twips factors this form converts with (those of the window it lives in, for a form
    // inside another window).
    TwipsScale Twips() const;
    // The dpi of the monitor the system last moved the window to; 0 while it has not.
    int MovedDpi() const { return m_movedDpi; }

    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);
    const FormDesign& Design() const { return m_design; }

protected:
    explicit Form(FormDesign design);

    virtual void OnInitialize() {}
    virtual void OnLoad() {}
    virtual void OnResize() {}
    virtual void OnQueryUnload(bool& /*cancel*/, UnloadMode /*mode*/) {}
    virtual void OnUnload(bool& /*cancel*/) {}
    // Button: 1 left, 2 right, 4 middle; Shift: 1 shift, 2 ctrl, 4 alt; X, Y in twips.
    virtual void OnMouseDown(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void OnMouseUp(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    // The window moved to a monitor of another dpi: its controls are at their new places, and
    // pictures and fonts made for the old dpi are made anew here. OnResize follows.
    virtual void OnDpiChanged(int /*oldDpi*/, int /*newDpi*/) {}
    virtual void OnMouseMove(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateFormWindow();
    void ChangeDpi(int newDpi, LPARAM suggested);
    void TakeSuggestedRect(LPARAM lParam);
    bool AnswerScaledSize(int newDpi, SIZE* size) const;
    void RunModalLoop();

    FormDesign m_design;
    bool m_initialized = false;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_unloading = false;
    int m_modalDepth = 0;
    WindowState m_pendingState = WindowState::Normal;
    int m_movedDpi = 0;
};

// The twips factors of the form that `hwnd` is or lies in (through its top-level window); the
// screen's for a window of no form.
TwipsScale TwipsScaleOf(HWND hwnd);
// The dpi the system last moved the top-level window of `hwnd` to, when that is a form's; else 0.
int MovedDpiOf(HWND hwnd);

}  // namespace rt
