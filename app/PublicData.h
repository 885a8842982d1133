#pragma once
// The few procedures and the one global that several forms share.

#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/Handles.h"

namespace rt {
class Form;
}

namespace corvane {

// The temporary directory with exactly one trailing "\".
std::wstring GetTempDir();

// Writes the custom resource (id, type) of a module (default: the executable) byte for byte to
// `path`, creating or replacing the file. Returns false, leaving any existing file untouched,
// when the resource does not exist; false also when the file cannot be written.
bool SaveResourceToFile(int id, std::wstring_view type, const std::wstring& path, HMODULE module = nullptr);

// vld.ico in the temporary directory: the login window writes it, and the login and main
// windows take their icons from it.
std::wstring IconFilePath();
// One size of an icon file; empty when the file cannot be read.
rt::Icon LoadIconFile(const std::wstring& path, int size);

// The login background window's procedure while it is hooked, and the one it replaced.
LRESULT CALLBACK LoginBgWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
extern WNDPROC PrevWndProc;

void HookLoginBg(HWND hwnd);
void UnhookLoginBg(HWND hwnd);

// The window glued to the background window's top-left corner (the login window); nullptr for
// none. LoginBgWndProc moves it on every WM_MOVE.
void SetLoginBgFollower(rt::Form* follower);

}  // namespace corvane
