#pragma once
// KvProgressBar: the updater's progress bar, painted from a 10 x 10 skin (bitmap 101: columns 0
// to 7 the filled look, 8 and 9 the empty look). It measures in pixels and is 10 pixels high.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/AccessibleHost.h"
#include "runtime/Control.h"
#include "runtime/PropertyBag.h"
#include "runtime/Resources.h"
#include "updater/ProgressBarMath.h"

namespace corvane {

class KvProgressBar : public rt::Control {
public:
    static constexpr int kSkinId = 101;

    // The skin comes from `module` (default: the executable).
    explicit KvProgressBar(HMODULE module = nullptr);

    std::int32_t Min() const { return m_range.Min(); }
    std::int32_t Max() const { return m_range.Max(); }
    std::int32_t Value() const { return m_range.Value(); }
    // A refused value changes nothing; the property counts as changed either way.
    void SetMin(std::int32_t v);
    void SetMax(std::int32_t v);
    void SetValue(std::int32_t v);

    // Paints the bar on any DC, `width` pixels wide.
    void PaintBar(HDC dc, int width) const;

    void ReadProperties(rt::PropertyBag& bag);
    void WriteProperties(rt::PropertyBag& bag);
    const std::vector<std::wstring>& ChangedProperties() const { return m_changed; }

protected:
    const wchar_t* ClassName() const override { return L"KvProgressBar"; }
    void OnPaint(HDC dc, const RECT& area) override;
    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Apply(bool accepted, const wchar_t* name);
    // The skin drawn for `dpi` and its pieces' lengths there.
    void UseDpi(int dpi);

    HMODULE m_module;
    rt::PictureRef m_skin;
    ProgressSkin m_layout;  // the pieces of m_skin at its window's scale
    ProgressRange m_range;
    std::vector<std::wstring> m_changed;

    rt::acc::Described m_readerView{[this] { return rt::acc::ProgressBar(m_range.Min(), m_range.Max(), m_range.Value()); }};
    rt::AccessibleHost m_access{m_readerView};
};

}  // namespace corvane
