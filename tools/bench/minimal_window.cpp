// The floor of the start-up benchmark: the smallest Win32 program that shows a window.

#include "tools/bench/MinimalWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    return RunMinimalWindow(instance);
}
