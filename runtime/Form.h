#pragma once
// A form: a top-level window with the lifecycle the program's windows are written against.
//
//   Load()   -> OnInitialize (once per object), window created hidden, OnLoad, OnResize
//   Show()   -> loads when needed, then shows; Show(Modal) runs a message loop of its own until
//               the form is hidden or unloaded, with the program's other windows disabled
//   Unload() -> OnQueryUnload(cancel, mode), OnUnload(cancel), window destroyed
//
// Positions and sizes are twips; the platform calls below convert to pixels with the screen's
// real pixels per inch. When the last loaded form unloads, the message loop of App::Run ends.

#include <windows.h>

#include <string>

#include "runtime/DrawingWindow.h"

namespace rt {

enum class ShowMode { Modeless = 0, Modal = 1 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class StartUpPosition { Manual = 0, CenterScreen = 2 };
// Why a form is unloading, as OnQueryUnload hears it.
enum class UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2, AppTaskManager = 3 };

inline constexpr double kKeep = -1e300;  // Move: leave this coordinate as it is

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
    virtual void OnMouseMove(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateFormWindow();
    void TakeSuggestedRect(LPARAM lParam);
    void RunModalLoop();

    FormDesign m_design;
    bool m_initialized = false;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_unloading = false;
    int m_modalDepth = 0;
    WindowState m_pendingState = WindowState::Normal;
};

}  // namespace rt
