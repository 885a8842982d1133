#include "runtime/App.h"

#include <utility>
#include <vector>

#include "runtime/MessageFilter.h"

namespace rt {

namespace {

int g_loadedForms = 0;
App::LogSink g_logSink;

struct EndWork {
    std::uint32_t id;
    std::function<void()> work;
};

// Never destroyed: hooks held by objects of static lifetime may withdraw themselves after this
// list would otherwise be gone.
std::vector<EndWork>& EndWorks()
{
    static auto* works = new std::vector<EndWork>();
    return *works;
}

void DefaultLogSink(const std::wstring& text)
{
    // The event log of the system when it accepts the source; the debugger output always.
    if (HANDLE source = ::RegisterEventSourceW(nullptr, App::EXEName().c_str())) {
        const wchar_t* strings[] = {text.c_str()};
        ::ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
        ::DeregisterEventSource(source);
    }
    ::OutputDebugStringW((text + L"\n").c_str());
}

}  // namespace

std::wstring App::ExePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring App::Path()
{
    std::wstring path = ExePath();
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // "C:\Corvane.exe" lives in "C:\", the one directory that keeps its backslash.
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

std::wstring App::EXEName()
{
    std::wstring path = ExePath();
    std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring App::Command()
{
    const wchar_t* p = ::GetCommandLineW();
    if (!p) return {};
    // Skip the program name, quoted or not, and the blanks after it.
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

VersionFields App::Version(HMODULE module)
{
    VersionFields fields;
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    if (!res) return fields;
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = ::SizeofResource(module, res);
    if (!data || size == 0) return fields;
    // VerQueryValue wants a writable copy of the block.
    std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&info), &len) && info &&
        len >= sizeof(VS_FIXEDFILEINFO)) {
        fields.major = HIWORD(info->dwFileVersionMS);
        fields.minor = LOWORD(info->dwFileVersionMS);
        fields.build = HIWORD(info->dwFileVersionLS);
        fields.revision = LOWORD(info->dwFileVersionLS);
    }
    return fields;
}

void App::LogEvent(const std::wstring& text)
{
    if (g_logSink)
        g_logSink(text);
    else
        DefaultLogSink(text);
}

void App::SetLogSink(LogSink sink)
{
    g_logSink = std::move(sink);
}

void EndHook::Reset()
{
    if (!m_id) return;
    std::erase_if(EndWorks(), [id = m_id](const EndWork& w) { return w.id == id; });
    m_id = 0;
}

EndHook& EndHook::operator=(EndHook&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

EndHook App::AtEnd(std::function<void()> work)
{
    static std::uint32_t lastId = 0;
    if (!work) return EndHook();
    const std::uint32_t id = ++lastId;
    EndWorks().push_back({id, std::move(work)});
    return EndHook(id);
}

void App::End(UINT exitCode)
{
    // Each work leaves the list before it runs, so one that withdraws hooks (its own included)
    // finds a consistent list.
    auto& works = EndWorks();
    while (!works.empty()) {
        const std::function<void()> work = std::move(works.back().work);
        works.pop_back();
        work();
    }
    ::ExitProcess(exitCode);
}

int App::Run()
{
    MSG msg;
    while (g_loadedForms > 0) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) break;
        TranslateAndDispatch(msg);
    }
    return 0;
}

bool App::DoEvents()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateAndDispatch(msg);
    }
    return true;
}

int App::LoadedForms() { return g_loadedForms; }
void App::FormLoaded() { ++g_loadedForms; }
void App::FormUnloaded()
{
    // App::Run sees the count drop once the dispatch that unloaded the last form returns.
    if (g_loadedForms > 0) --g_loadedForms;
}

}  // namespace rt
