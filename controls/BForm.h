#pragma once
// BForm: the caption strip of the borderless windows. It paints a skinned title bar from the
// frame skin (bitmap 108), prints the window caption on it, lets the user drag the host window
// by it (through frmHwnd), and paints the host's left, right and bottom border (Printform).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/AccessibleHost.h"
#include "runtime/Control.h"
#include "runtime/Form.h"
#include "runtime/MouseEvents.h"
#include "runtime/Handles.h"
#include "runtime/PropertyBag.h"
#include "runtime/Resources.h"

namespace corvane {

class BForm : public rt::Control {
public:
    static constexpr DWORD kDefaultBackColor = 14346732;  // 0xDAE9EC

    // The skin comes from bitmap 108 of `module` (default: the executable).
    explicit BForm(HMODULE module = nullptr);

    // --- Events, in declaration order ---
    std::function<void()> CloseClick;  // declared for the hosts; never raised
    std::function<void()> MinClick;    // declared for the hosts; never raised
    std::function<void()> DblClick;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseDown;
    std::function<void(short& Button, short& Shift, float& X, float& Y)> MouseMove;

    // --- Properties ---
    // The back colour as decimal text; text that is not a number leaves the colour as it is.
    std::wstring BackColor() const;
    void SetBackColor(const std::wstring& color);
    const std::wstring& Caption() const { return m_caption; }
    void SetCaption(const std::wstring& caption);
    bool HasLogo() const { return m_hasLogo; }
    void SetHasLogo(bool hasLogo);
    HWND frmHwnd() const { return m_frmHwnd; }
    void SetfrmHwnd(HWND hwnd);

    // Paints the border of the host window `frm` on its own surface.
    void Printform(rt::Form& frm);
    // A plain piece of title band over the strip's right part, with the caption printed again.
    void Nomin();

    void ReadProperties(rt::PropertyBag& bag);
    void WriteProperties(rt::PropertyBag& bag);
    const std::vector<std::wstring>& ChangedProperties() const { return m_changed; }

    const rt::PictureRef& Skin() const { return m_pp; }

protected:
    const wchar_t* ClassName() const override { return L"BForm"; }
    void OnCreated() override;
    void OnResize() override;
    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void MakeFont();
    void DrawCaptionBar(const std::wstring& caption);
    void PrintCaption(HDC dc, const std::wstring& caption, int xTwips, int yTwips);
    void MarkChanged(const wchar_t* name);
    void OnMouseDownMessage(const rt::MouseEvent& e);

    HMODULE m_module = nullptr;  // where the skin comes from
    rt::PictureRef m_pp;  // the skin
    rt::Font m_font;
    std::wstring m_caption = L"NewForm";
    bool m_hasLogo = false;
    HWND m_frmHwnd = nullptr;
    bool m_sizing = false;
    std::vector<std::wstring> m_changed;

    // Readers hear a title bar with the window's caption.
    rt::acc::Described m_readerView{[this] { return rt::acc::TitleBar(m_caption); }};
    rt::AccessibleHost m_access{m_readerView};
};

}  // namespace corvane
