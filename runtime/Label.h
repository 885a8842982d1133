#pragma once
// A label: text drawn on its parent's surface, word-wrapped in its rectangle, with its own font
// and colour and a transparent or opaque background.

#include <memory>
#include <string>

#include "runtime/AccessibleHost.h"
#include "runtime/Control.h"
#include "runtime/Handles.h"

namespace rt {

class Label : public Control {
public:
    Label();

    const std::wstring& Caption() const { return m_caption; }
    void SetCaption(const std::wstring& caption);
    DWORD ForeColor() const { return m_foreColor; }
    void SetForeColor(DWORD color);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    // Face name and size in points; the label owns the font it makes.
    void SetFont(const std::wstring& face, int points, bool bold = false);

protected:
    const wchar_t* ClassName() const override { return L"CorvaneLabel"; }
    void OnCreated() override;
    void OnDpiChanged() override;
    void OnPaint(HDC dc, const RECT& area) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring m_caption;
    DWORD m_foreColor = 0x80000012;
    bool m_transparent = true;
    Font m_font;
    std::wstring m_face;
    int m_points = 9;
    bool m_bold = false;

    acc::Described m_readerView{[this] { return acc::StaticText(m_caption); }};
    AccessibleHost m_access{m_readerView};
};

}  // namespace rt
