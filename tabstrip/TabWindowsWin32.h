#pragma once
// The tab model's window operations on the platform.

#include "tabstrip/TabWindows.h"

namespace corvane {

class Win32TabWindows : public ITabWindows {
public:
    long WindowStyle(WindowHandle window) override;
    void Activate(WindowHandle window) override;
    void ReleaseToDesktop(WindowHandle page, long style, WindowHandle stripParent) override;
};

}  // namespace corvane
