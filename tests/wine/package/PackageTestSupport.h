#pragma once
// What the package tests share: the built installers, the player's folders, silent installs and
// uninstalls, the uninstall entry and the document-mode value, shortcuts read back through the
// shell, running clients, and the installer's wizard driven with keys.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/driver/Driver.h"

namespace packagetest {

inline constexpr const wchar_t* kProduct = L"LumoraVeldan客户端";
inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\LumoraVeldan";
inline constexpr const wchar_t* kEmulationKey =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
inline constexpr const wchar_t* kClientRunning = L"LumoraVeldan客户端正在运行。请先退出游戏，再点“重试”继续；点“取消”放弃。";

// The installers of this build's client and of its next version (1.2.0), and the two clients.
std::wstring SetupExe();
std::wstring NextSetupExe();
std::wstring BuiltClient();
std::wstring NextClient();

// The player's folders, without a trailing "\".
std::wstring LocalAppData();
std::wstring DesktopDir();
std::wstring StartMenuProgramsDir();
std::wstring TempDir();
std::wstring DefaultInstallDir();
std::wstring DesktopShortcut();
std::wstring StartMenuShortcut();

// Runs an installer or uninstaller silently and waits for it (and for the copy of itself an
// uninstaller runs from the temporary folder); the exit code of the program started.
long RunSilently(const std::wstring& exe, const std::wstring& arguments = L"/S");
long UninstallSilently(const std::wstring& installDir);
// Whatever an earlier case left: clients ended, the installed version uninstalled.
void RemoveInstallation();

// HKCU values; nullopt when absent.
std::optional<std::wstring> RegString(const wchar_t* key, const wchar_t* name);
std::optional<DWORD> RegDword(const wchar_t* key, const wchar_t* name);

struct Shortcut {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingDir;
    std::wstring iconPath;
    int iconIndex = -1;
};
// A .lnk read back through IShellLinkW; nullopt when it cannot be loaded.
std::optional<Shortcut> ReadShortcut(const std::wstring& path);

// The client's version as the client itself names it (major.minor.revision).
std::wstring ClientVersion(const std::wstring& exe);
// A string of the file's version resource ("CompanyName", ...), in its first translation.
std::wstring VersionString(const std::wstring& exe, const wchar_t* name);
bool HasIcon(const std::wstring& exe);
FILETIME LastWrite(const std::wstring& path);
bool SameFile(const std::wstring& a, const std::wstring& b);

// Processes by executable name, and where their image lives.
std::vector<DWORD> ProcessesNamed(const wchar_t* exeName);
std::wstring ImagePath(DWORD processId);
void EndProcesses(const wchar_t* exeName);
// Environment that points a client (and anything an installer starts) at the main demo portal,
// with the update manifest of the portal `updates` (the main one by default).
std::vector<std::wstring> PortalEnvironment(std::string_view updates = {});
// The copy of itself an uninstaller runs from the temporary folder; 0 when none runs.
DWORD UninstallerCopy();
// Logs `account` in on the client's login pair and waits for its main window; nullptr (with a
// gtest failure naming the step) when a step fails. The first client in a fresh prefix starts
// slowly, so the bounds are generous.
HWND LogInToMainWindow(const driver::Process& client, const wchar_t* account);
// A client of `processId` shows its login pair.
bool WaitForLoginPairOf(DWORD processId, DWORD timeoutMs = 30000);

// The installer's or uninstaller's wizard, driven with keys as a player would.
class Wizard {
public:
    explicit Wizard(DWORD processId) : m_processId(processId) {}
    // The wizard window (the one without owner), once it shows a control whose text contains
    // `text`; nullptr when it does not in time.
    HWND WaitForPage(const wchar_t* text, DWORD timeoutMs = 20000) const;
    // A message box of the wizard's process: its text, or nullopt when none shows in time.
    std::optional<std::wstring> WaitForMessageBox(DWORD timeoutMs = 20000) const;
    HWND MessageBoxWindow() const;
    // Brings the window to the front and presses a key there.
    static void PressKeyIn(HWND hwnd, WORD vk);

private:
    DWORD m_processId;
};

// What an install into `dir` leaves, for the client's `version`: shortcuts, the list entry and
// the document-mode value (gtest expectations).
void ExpectInstalledIn(const std::wstring& dir, const std::wstring& version);
// Nothing of an install outside its folder: shortcuts, registry values, the client's temporary files.
void ExpectNothingLeft();
// The folders the client made in the temporary folder for its updater.
std::vector<std::wstring> UpdaterFolders();

// Ends, with the test, the clients and updaters it started.
struct ClientsEnder {
    ClientsEnder() = default;
    ~ClientsEnder();
    ClientsEnder(const ClientsEnder&) = delete;
    ClientsEnder& operator=(const ClientsEnder&) = delete;
};

// What the screen shows of a window's client area, saved as <OutDir>\<name>.png: without a
// window manager nobody draws the frame and caption.
driver::Capture ClientScreenshot(HWND hwnd, const std::wstring& name);
// A control's text in another process (GetWindowText reads only captions there).
std::wstring ControlText(HWND hwnd);
// Dark pixels (text, lines) in a rectangle of a capture.
int Ink(const driver::Capture& shot, RECT rect);

}  // namespace packagetest
