#include "app/PublicData.h"

#include <vector>

#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/Resources.h"
#include "runtime/TempDir.h"

namespace corvane {

WNDPROC PrevWndProc = nullptr;

namespace {

rt::Form* g_loginBgFollower = nullptr;

}  // namespace

std::wstring GetTempDir()
{
    return SystemTempDir();
}

bool SaveResourceToFile(int id, std::wstring_view type, const std::wstring& path, HMODULE module)
{
    const auto bytes = rt::CustomResource(id, type, module);
    if (bytes.empty()) return false;
    rt::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void SetLoginBgFollower(rt::Form* follower)
{
    g_loginBgFollower = follower;
}

LRESULT CALLBACK LoginBgWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_MOVE && g_loginBgFollower) {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        // In the follower's own twips, so that it lands on the very pixel at any dpi.
        const rt::TwipsScale scale = g_loginBgFollower->Twips();
        g_loginBgFollower->Move(scale.TwipsX(r.left), scale.TwipsY(r.top));
    }
    return ::CallWindowProcW(PrevWndProc, hwnd, msg, wParam, lParam);
}

void HookLoginBg(HWND hwnd)
{
    PrevWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoginBgWndProc)));
}

void UnhookLoginBg(HWND hwnd)
{
    if (PrevWndProc) ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevWndProc));
}

std::wstring IconFilePath()
{
    return GetTempDir() + L"vld.ico";
}

rt::Icon LoadIconFile(const std::wstring& path, int size)
{
    return rt::Icon(static_cast<HICON>(::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
}

}  // namespace corvane
