#pragma once
// A picture box: a plain container control with a back colour and an optional picture drawn at
// its top-left corner in its natural size. Other windows (pages, browsers) are placed inside it.

#include <functional>

#include "runtime/Control.h"
#include "runtime/Resources.h"

namespace rt {

class PictureBox : public Control {
public:
    using MouseHandler = std::function<void(int& button, int& shift, double& x, double& y)>;

    PictureBox();

    void SetPicture(PictureRef picture);
    const PictureRef& Picture() const { return m_picture; }

    // Events; arguments by reference, as the host may change them.
    MouseHandler MouseDown;
    MouseHandler MouseMove;
    MouseHandler MouseUp;
    std::function<void()> Resize;

protected:
    const wchar_t* ClassName() const override { return L"CorvanePictureBox"; }
    void OnResize() override;
    void OnPaint(HDC dc, const RECT& area) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    PictureRef m_picture;
};

}  // namespace rt
