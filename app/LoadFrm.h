#pragma once
// The splash window and the program's start: it decides whether the program may run at all,
// handles the "/web" switch and shows the splash picture while the login page loads.

#include "app/LayeredPng.h"
#include "runtime/Form.h"

namespace corvane {

class LoadFrm : public rt::Form {
public:
    LoadFrm();
    ~LoadFrm() override;

protected:
    void OnInitialize() override;
    void OnLoad() override;
    void OnUnload(bool& cancel) override;
    void OnMouseDown(int button, int shift, double x, double y) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LayeredPngPainter m_splash;
};

// The one switch of the command line: exactly "/web", nothing else.
bool IsWebSwitch(const std::wstring& command);

}  // namespace corvane
