#pragma once
// What the controls' Wine tests share: a host form, real mouse input at a point, the pixels of a
// skin bitmap to compare captures with, and an event log.

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/Form.h"
#include "runtime/Resources.h"
#include "tests/driver/Driver.h"

namespace controls_test {

// A plain form for hosting controls: placed at (left, top) pixels, client width x height pixels.
class HostForm : public rt::Form {
public:
    HostForm(const wchar_t* className, int left, int top, int width, int height, DWORD backColor = 0xFFFFFF);

    std::vector<std::string> mouseLog;  // the form's own mouse events

protected:
    void OnMouseDown(int button, int, double, double) override { mouseLog.push_back("FormDown " + std::to_string(button)); }
};

// One shown host form for a whole test suite (destroying a visible window costs Wine about two
// seconds): from SetUpTestSuite and TearDownTestSuite.
HostForm* ShowSuiteHost(const wchar_t* className, int left, int top, int width, int height);
void CloseSuiteHost(HostForm*& form);

// Real input through the system, then a short pump so the messages are delivered.
void MoveTo(POINT screen);
void LeftDown();
void LeftUp();
void RightDown();
void RightUp();
// The screen point of client point (x, y) of a window.
POINT ScreenPoint(HWND hwnd, int x, int y);

// The pixels of a picture (0x00RRGGBB, as Capture keeps them).
driver::Capture PicturePixels(const rt::Picture& picture);
// Pixels of `capture` at (x0, y0) .. that differ from `expected` at (ex, ey) .., for a w x h block.
int Mismatches(const driver::Capture& capture, int x0, int y0, const driver::Capture& expected, int ex, int ey,
               int w, int h);

using Log = std::vector<std::string>;
// The log without the entries starting with `prefix`.
Log Without(const Log& log, const std::string& prefix);

}  // namespace controls_test
