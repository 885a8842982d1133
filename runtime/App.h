#pragma once
// The application object: where the program lives, what it is called, its version fields, the
// event log, the message loop and the way out.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace rt {

// Registration of work that App::End runs before the process ends: what the system would keep
// after a sudden end (an icon in the notification area). Destroying or resetting the object
// withdraws the work; moving it moves the registration.
class EndHook {
public:
    EndHook() = default;
    ~EndHook() { Reset(); }
    EndHook(EndHook&& other) noexcept : m_id(other.m_id) { other.m_id = 0; }
    EndHook& operator=(EndHook&& other) noexcept;
    EndHook(const EndHook&) = delete;
    EndHook& operator=(const EndHook&) = delete;

    void Reset();
    explicit operator bool() const { return m_id != 0; }

private:
    friend class App;
    explicit EndHook(std::uint32_t id) : m_id(id) {}
    std::uint32_t m_id = 0;
};

struct VersionFields {
    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;  // the fourth field of the file version
};

class App {
public:
    // Directory of the running executable, without a trailing "\" except for a drive root.
    static std::wstring Path();
    // File name of the executable without its extension.
    static std::wstring EXEName();
    // Full path of the executable.
    static std::wstring ExePath();
    // The text after the program name on the command line, as the platform passed it.
    static std::wstring Command();
    // File version of a module (default: the executable) from its version resource.
    static VersionFields Version(HMODULE module = nullptr);

    // Writes one entry to the application event log. Internal failures go here, never to the
    // user.
    static void LogEvent(const std::wstring& text);
    // Tests and tools observe the log through a sink; nullptr restores the default.
    using LogSink = std::function<void(const std::wstring&)>;
    static void SetLogSink(LogSink sink);

    // Ends the program at once: no further event of any form runs. Only the work registered
    // through AtEnd runs first, the latest registration first.
    [[noreturn]] static void End(UINT exitCode = 0);
    [[nodiscard]] static EndHook AtEnd(std::function<void()> work);

    // Runs the message loop until the last loaded form has unloaded (or WM_QUIT arrives).
    static int Run();
    // Delivers the pending messages of this thread, then returns: the yield of long operations.
    // Returns false when WM_QUIT was seen (it is posted again for the outer loop).
    static bool DoEvents();

    // Count of loaded forms, maintained by the forms themselves.
    static int LoadedForms();
    static void FormLoaded();
    static void FormUnloaded();
};

}  // namespace rt
