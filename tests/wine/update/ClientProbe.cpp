// Stands in for the client in the updater's tests (and for the updater in the on-demand check's):
// started, it appends its own path and a newline to the file named by CORVANE_TEST_MARKER, then
// "args: ", its arguments and a newline when it has any, and ends.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int)
{
    wchar_t marker[MAX_PATH] = {};
    wchar_t self[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"CORVANE_TEST_MARKER", marker, MAX_PATH)) return 1;
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    char utf8[12 * MAX_PATH] = {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, self, static_cast<int>(length), utf8, 4 * MAX_PATH, nullptr, nullptr);
    utf8[n++] = '\n';
    if (arguments && *arguments) {
        const char prefix[] = "args: ";
        for (const char* p = prefix; *p; ++p) utf8[n++] = *p;
        n += ::WideCharToMultiByte(CP_UTF8, 0, arguments, -1, utf8 + n, 6 * MAX_PATH, nullptr, nullptr) - 1;
        utf8[n++] = '\n';
    }
    HANDLE file = ::CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    ::WriteFile(file, utf8, static_cast<DWORD>(n), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
