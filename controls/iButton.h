#pragma once
// iButton: the program's push button. It paints itself from one horizontal strip with a frame
// per visual state (normal, hover, pressed; twice for a two-state button), prints a centred
// caption with an optional icon left of it, follows the pointer with a 50 ms timer, and raises
// Click when activated by the left button, Enter or the space bar. Event arguments are passed by
// reference and the control acts on them as the handler leaves them.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ButtonAccess.h"
#include "controls/ButtonGeometry.h"
#include "controls/PersistedValues.h"
#include "controls/SharedImages.h"
#include "runtime/AccessibleHost.h"
#include "runtime/Control.h"
#include "runtime/MouseEvents.h"
#include "runtime/PropertyBag.h"
#include "runtime/Resources.h"
#include "runtime/Timer.h"

namespace corvane {

class iButton : public rt::Control {
public:
    // System colour references (top bit set, low byte the index).
    static constexpr DWORD kButtonText = 0x80000012;
    static constexpr DWORD kWindowBackground = 0x80000005;
    // Transparent mode: pixels of this colour are not part of the control.
    static constexpr std::uint32_t kMaskColor = 0xFF00FF;

    iButton();
    ~iButton() override;

    // --- Events, in declaration order ---
    std::function<void()> Click;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseDown;
    std::function<void(short& KeyCode, short& Shift)> KeyDown;
    std::function<void(short& KeyCode, short& Shift)> KeyUP;
    std::function<void(short& KeyAscii)> KeyPress;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseUp;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseMove;
    std::function<void()> MouseOut;
    std::function<void()> MouseOver;
    std::function<void()> DBClick;

    // --- Properties ---
    short cDrawMode() const { return m_drawMode; }
    void SetcDrawMode(short mode);
    const FontDesc& cFont() const { return m_font; }
    void SetcFont(const FontDesc& font);
    DWORD cForeColor() const { return m_foreColor; }
    void SetcForeColor(DWORD color);
    bool Locked() const { return m_locked; }
    void SetLocked(bool locked);
    bool Value() const { return m_value; }
    void SetValue(bool value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    std::int32_t Style() const { return m_style; }
    void SetStyle(std::int32_t style);
    const rt::PictureRef& BackPicture() const { return m_backPicture; }
    void SetBackPicture(rt::PictureRef picture);
    const rt::PictureRef& Icon() const { return m_icon; }
    void SetIcon(rt::PictureRef picture);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    short cBackStyle() const { return m_backStyle; }
    void SetcBackStyle(short backStyle);
    const std::wstring& Caption() const { return m_caption; }
    void SetCaption(const std::wstring& caption);
    // The surface, with every repaint asked for so far drawn on it.
    HDC hdc() const;
    HBITMAP Image() const;

    // Repaints for `cAction` when it differs from the state shown or a full repaint is asked for.
    void cMouseAction(std::int32_t cAction, bool vComplePaint);
    std::int32_t ShownState() const { return m_state; }
    bool Pressed() const { return m_pressed; }

    // The name screen readers hear for a button that shows only a picture ("关闭", "菜单"); a
    // button with a caption is named by it while this is empty.
    const std::wstring& AccessibleName() const { return m_accessibleName; }
    void SetAccessibleName(const std::wstring& name);

    // --- Designer data ---
    void ReadProperties(rt::PropertyBag& bag);
    void WriteProperties(rt::PropertyBag& bag);
    // Persisted properties set since the last save, in the order they were first set.
    const std::vector<std::wstring>& ChangedProperties() const { return m_changed; }

protected:
    const wchar_t* ClassName() const override { return L"iButton"; }
    DWORD ExtraStyle() const override { return WS_TABSTOP; }
    void OnCreated() override;
    void OnResize() override;
    void OnDpiChanged() override;
    void OnWindowDestroyed() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool IsMouseOver() const;
    std::int32_t CurrentState() const;
    const rt::Picture* StateImage(std::int32_t state) const;
    void BuildStateImages();
    // Asks for a repaint; it is drawn when the surface is next needed (a paint, hdc, Image, the
    // focus rectangle, a property stored without a repaint), so a run of property changes costs
    // one repaint and the surface ends as it would after each.
    void DrawButton(std::int32_t state);
    void FlushDrawing();
    void Repaint(std::int32_t state);
    void DrawFace(HDC dc);
    void DrawFocus();
    void ApplyMask(const PixelImage& mask);
    void ShowFirstTime();
    void MarkChanged(const wchar_t* name);
    void ApplyFont();
    SIZE TextSizeTwips(HDC dc) const;

    void OnTimer1();
    void OnMouseDownMessage(const rt::MouseEvent& e);
    void OnMouseUpMessage(const rt::MouseEvent& e, WPARAM keys, LPARAM lParam);
    void OnMouseMoveMessage(const rt::MouseEvent& e);
    void OnDoubleClick();
    void OnClickNotification();
    void OnKeyDownMessage(WPARAM key);
    void OnKeyUpMessage(WPARAM key);

    // What screen readers see of the button (iButtonAccess.cpp).
    class ReaderView final : public rt::acc::Source {
    public:
        explicit ReaderView(iButton& button) : m_button(button) {}
        rt::acc::Item Describe(long child) const override;
        void DoDefaultAction(long child) override;

    private:
        iButton& m_button;
    };
    void ClickForReader();

    short m_drawMode = R2_COPYPEN;
    FontDesc m_font;
    std::shared_ptr<const rt::Font> m_fontHandle;
    DWORD m_foreColor = kButtonText;
    bool m_locked = false;
    bool m_value = false;
    bool m_autoSize = true;
    std::int32_t m_style = 0;
    rt::PictureRef m_backPicture;
    rt::PictureRef m_icon;
    bool m_enabled = true;
    short m_backStyle = 1;
    std::wstring m_caption;

    std::shared_ptr<const StateImages> m_stateImages;  // shared by the buttons showing the same strip
    bool m_imagesPresent = false;
    FrameSize m_frame;
    std::int32_t m_state = kStateNormal;
    bool m_hover = false;
    bool m_pressed = false;
    short m_lastButton = 0;
    bool m_clickArmed = false;  // a press began on the control; its release may click
    bool m_shown = false;        // the surface's tag: "" until the first showing
    bool m_inResize = false;
    bool m_drawPending = false;
    std::int32_t m_drawState = kStateNormal;
    std::vector<std::wstring> m_changed;

    rt::Timer m_timer1;

    std::wstring m_accessibleName;
    ReaderView m_readerView{*this};
    rt::AccessibleHost m_access{m_readerView};
};

}  // namespace corvane
