#include "tests/wine/package/PackageTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdlib>

#include "runtime/App.h"
#include "runtime/Handles.h"
#include "tests/driver/ComRef.h"
#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/update/UpdateTestSupport.h"
#include "update/UpdateManifest.h"

namespace packagetest {

namespace {

std::wstring FolderPath(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring NextDir()
{
    const char* dir = std::getenv("CORVANE_TEST_NEXT_DIR");
    return driver::UnixToWindowsPath(dir ? dir : "");
}

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    return _wcsnicmp(text, prefix, wcslen(prefix)) == 0;
}


class ComApartment {
public:
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

struct WindowSearch {
    DWORD processId;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK FindText(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (::IsWindowVisible(child) && driver::WindowText(child).find(search->text) != std::wstring::npos) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindWizard(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || !::IsWindowVisible(hwnd) || ::GetWindow(hwnd, GW_OWNER) ||
        driver::ClassNameOf(hwnd) != L"#32770")
        return TRUE;
    WindowSearch inner{pid, search->text, nullptr};
    ::EnumChildWindows(hwnd, &FindText, reinterpret_cast<LPARAM>(&inner));
    if (!inner.found) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->processId && ::IsWindowVisible(hwnd) && ::GetWindow(hwnd, GW_OWNER) &&
        driver::ClassNameOf(hwnd) == L"#32770" && ::GetDlgItem(hwnd, 0xFFFF)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK NoteIcon(HMODULE, LPCWSTR, LPWSTR, LONG_PTR found)
{
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

}  // namespace

// An uninstaller copies itself to the temporary folder, starts the copy and ends at once.
DWORD UninstallerCopy()
{
    rt::KernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{sizeof entry};
    for (BOOL ok = ::Process32FirstW(snapshot.get(), &entry); ok; ok = ::Process32NextW(snapshot.get(), &entry))
        if (_wcsicmp(entry.szExeFile, L"Un.exe") == 0 || StartsWithNoCase(entry.szExeFile, L"Un_") ||
            StartsWithNoCase(entry.szExeFile, L"Au_"))
            return entry.th32ProcessID;
    return 0;
}

std::wstring BuiltClient() { return driver::BuildDir() + L"\\app\\Corvane.exe"; }
std::wstring NextClient() { return NextDir() + L"\\Corvane.exe"; }
std::wstring SetupExe() { return driver::BuildDir() + L"\\package\\Corvane-" + ClientVersion(BuiltClient()) + L"-setup.exe"; }
std::wstring NextSetupExe() { return NextDir() + L"\\Corvane-1.2.0-setup.exe"; }

std::wstring LocalAppData() { return FolderPath(CSIDL_LOCAL_APPDATA); }
std::wstring DesktopDir() { return FolderPath(CSIDL_DESKTOPDIRECTORY); }
std::wstring StartMenuProgramsDir() { return FolderPath(CSIDL_PROGRAMS); }
std::wstring TempDir()
{
    wchar_t path[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, path);
    std::wstring dir = path;
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    return dir;
}
std::wstring DefaultInstallDir() { return LocalAppData() + L"\\Programs\\LumoraVeldan"; }
std::wstring DesktopShortcut() { return DesktopDir() + L"\\" + kProduct + L".lnk"; }
std::wstring StartMenuShortcut() { return StartMenuProgramsDir() + L"\\" + kProduct + L".lnk"; }

long RunSilently(const std::wstring& exe, const std::wstring& arguments)
{
    driver::Process process = driver::Process::Start(exe, arguments, PortalEnvironment());
    if (!process) return -2;
    const long code = process.WaitForExit(120000);
    driver::PumpUntil([] { return UninstallerCopy() == 0; }, 120000);
    return code;
}

long UninstallSilently(const std::wstring& installDir) { return RunSilently(installDir + L"\\uninst.exe"); }

void RemoveInstallation()
{
    EndProcesses(L"Corvane.exe");
    EndProcesses(L"Update.exe");
    if (auto dir = RegString(kUninstallKey, L"InstallLocation")) UninstallSilently(*dir);
}

std::optional<std::wstring> RegString(const wchar_t* key, const wchar_t* name)
{
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcslen(value.c_str()));
    return value;
}

std::optional<DWORD> RegDword(const wchar_t* key, const wchar_t* name)
{
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<Shortcut> ReadShortcut(const std::wstring& path)
{
    ComApartment com;
    driver::ComRef<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    driver::ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) || FAILED(file->Load(path.c_str(), STGM_READ)))
        return std::nullopt;
    Shortcut shortcut;
    wchar_t text[MAX_PATH * 2] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) shortcut.target = text;
    text[0] = L'\0';
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) shortcut.arguments = text;
    text[0] = L'\0';
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) shortcut.workingDir = text;
    text[0] = L'\0';
    if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH * 2, &shortcut.iconIndex))) shortcut.iconPath = text;
    return shortcut;
}

std::wstring ClientVersion(const std::wstring& exe)
{
    rt::Module module(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    const rt::VersionFields v = rt::App::Version(module.get());
    return corvane::LocalVersionString(v.major, v.minor, v.revision);
}

std::wstring VersionString(const std::wstring& exe, const wchar_t* name)
{
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &handle);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(exe.c_str(), 0, size, block.data())) return {};
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation))
        return {};
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value) return {};
    return value;
}

bool HasIcon(const std::wstring& exe)
{
    rt::Module module(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    bool found = false;
    ::EnumResourceNamesW(module.get(), RT_GROUP_ICON, &NoteIcon, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

FILETIME LastWrite(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    const auto left = updatetest::ReadBytes(a);
    const auto right = updatetest::ReadBytes(b);
    return left && right && *left == *right;
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exeName)
{
    std::vector<DWORD> found;
    rt::KernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32W entry{sizeof entry};
    for (BOOL ok = ::Process32FirstW(snapshot.get(), &entry); ok; ok = ::Process32NextW(snapshot.get(), &entry))
        if (_wcsicmp(entry.szExeFile, exeName) == 0) found.push_back(entry.th32ProcessID);
    return found;
}

std::wstring ImagePath(DWORD processId)
{
    rt::KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path, &size)) return {};
    return path;
}

void EndProcesses(const wchar_t* exeName)
{
    for (DWORD id : ProcessesNamed(exeName)) {
        rt::KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!process) continue;
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 10000);
    }
}

std::vector<std::wstring> PortalEnvironment(std::string_view updates)
{
    return {L"CORVANE_PORTAL_URL=" + driver::Portal(),
            L"CORVANE_UPDATE_URL=" + driver::Portal(updates) + L"/gamehome/vld/update.txt"};
}

HWND LogInToMainWindow(const driver::Process& client, const wchar_t* account)
{
    const logintest::LoginPair pair = logintest::WaitForLoginPair(client, 60000);
    if (!pair) {
        ADD_FAILURE() << "no login pair";
        return nullptr;
    }
    if (!logintest::LogIn(pair, account)) {
        ADD_FAILURE() << "no login form";
        return nullptr;
    }
    HWND main = logintest::WaitForMainWindow(client, 60000);
    if (!main) ADD_FAILURE() << "no main window after the login";
    return main;
}

bool WaitForLoginPairOf(DWORD processId, DWORD timeoutMs)
{
    return driver::PumpUntil(
        [&] { return logintest::VisibleWindow(L"LoginFrm", processId) && logintest::VisibleWindow(L"LoginBgFrm", processId); },
        timeoutMs);
}

HWND Wizard::WaitForPage(const wchar_t* text, DWORD timeoutMs) const
{
    WindowSearch search{m_processId, text, nullptr};
    driver::PumpUntil(
        [&] {
            search.found = nullptr;
            ::EnumWindows(&FindWizard, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    if (search.found) driver::Pump(500);  // let the page finish painting
    return search.found;
}

HWND Wizard::MessageBoxWindow() const
{
    WindowSearch search{m_processId, nullptr, nullptr};
    ::EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<std::wstring> Wizard::WaitForMessageBox(DWORD timeoutMs) const
{
    HWND box = nullptr;
    if (!driver::PumpUntil([&] { return (box = MessageBoxWindow()) != nullptr; }, timeoutMs)) return std::nullopt;
    driver::Pump(500);
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    return std::wstring(text);
}

void Wizard::PressKeyIn(HWND hwnd, WORD vk)
{
    if (!driver::PumpUntil(
            [&] {
                ::SetForegroundWindow(hwnd);
                return ::GetForegroundWindow() == hwnd;
            },
            3000)) {
        // Without a window manager a click is what gives a window of another process the focus.
        RECT r;
        ::GetWindowRect(hwnd, &r);
        if (driver::ClickOn(hwnd, {r.left + 4, r.top + 4}))
            driver::PumpUntil([&] { return ::GetForegroundWindow() == hwnd; }, 3000);
    }
    driver::PressKey(vk);
}

driver::Capture ClientScreenshot(HWND hwnd, const std::wstring& name)
{
    RECT r{};
    ::GetClientRect(hwnd, &r);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    driver::Capture shot = driver::CaptureScreen(r);
    shot.SavePng(driver::OutDir() + L"\\" + name + L".png");
    return shot;
}

std::wstring ControlText(HWND hwnd)
{
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

int Ink(const driver::Capture& shot, RECT rect)
{
    int ink = 0;
    for (int y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, shot.height()); ++y)
        for (int x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, shot.width()); ++x) {
            const COLORREF c = shot.At(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 384) ++ink;
        }
    return ink;
}

// What every install leaves for the client in `dir`, whatever its version.
void ExpectInstalledIn(const std::wstring& dir, const std::wstring& version)
{
    const std::wstring exe = dir + L"\\Corvane.exe";
    const std::wstring uninstaller = dir + L"\\uninst.exe";
    for (const std::wstring& link : {DesktopShortcut(), StartMenuShortcut()}) {
        SCOPED_TRACE(driver::WideToUtf8(link));
        const auto shortcut = ReadShortcut(link);
        ASSERT_TRUE(shortcut);
        EXPECT_EQ(shortcut->target, exe);
        EXPECT_EQ(shortcut->arguments, L"");
        EXPECT_EQ(shortcut->workingDir, dir);
        EXPECT_EQ(shortcut->iconPath, exe);
        EXPECT_EQ(shortcut->iconIndex, 0);
    }

    const std::wstring quoted = L"\"" + uninstaller + L"\"";
    const struct {
        const wchar_t* name;
        std::wstring value;
    } strings[] = {
        {L"DisplayName", kProduct},
        {L"DisplayVersion", version},
        {L"Publisher", VersionString(exe, L"CompanyName")},
        {L"DisplayIcon", exe + L",0"},
        {L"InstallLocation", dir},
        {L"UninstallString", quoted},
        {L"QuietUninstallString", quoted + L" /S"},
    };
    for (const auto& s : strings) EXPECT_EQ(RegString(kUninstallKey, s.name).value_or(L"(missing)"), s.value) << driver::WideToUtf8(s.name);
    EXPECT_EQ(ClientVersion(exe), version);
    EXPECT_EQ(RegDword(kUninstallKey, L"NoModify"), 1u);
    EXPECT_EQ(RegDword(kUninstallKey, L"NoRepair"), 1u);
    const auto bytes = updatetest::ReadBytes(exe);
    ASSERT_TRUE(bytes);
    EXPECT_NEAR(RegDword(kUninstallKey, L"EstimatedSize").value_or(0), bytes->size() / 1024.0, 4.0) << "KB";
    EXPECT_EQ(RegDword(kEmulationKey, L"Corvane.exe"), 11001u);
}

void ExpectNothingLeft()
{
    EXPECT_EQ(::GetFileAttributesW(DesktopShortcut().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW(StartMenuShortcut().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(RegString(kUninstallKey, L"DisplayName"));
    EXPECT_FALSE(RegDword(kEmulationKey, L"Corvane.exe"));
    for (const wchar_t* name : {L"update.txt", L"Update.exe", L"vld.ico"})
        EXPECT_EQ(::GetFileAttributesW((TempDir() + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES) << driver::WideToUtf8(name);
    EXPECT_TRUE(UpdaterFolders().empty());
}

std::vector<std::wstring> UpdaterFolders()
{
    std::vector<std::wstring> folders;
    for (const std::wstring& name : updatetest::ListDir(TempDir()))
        if (name.starts_with(L"corvane-update-")) folders.push_back(name);
    return folders;
}

// Ends with the test: the client and whatever it started.
ClientsEnder::~ClientsEnder()
{
    EndProcesses(L"Corvane.exe");
    EndProcesses(L"Update.exe");
}

}  // namespace packagetest
