#include "tests/driver/AccessibleWalk.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/driver/Driver.h"

namespace driver {

namespace {

// Runs the probe and returns its output lines; this thread pumps meanwhile, since the probe's
// calls arrive as messages to the windows' thread.
std::vector<std::string> RunProbe(HWND hwnd, const std::wstring& verbAndChild)
{
    static int run = 0;
    const std::wstring out = OutDir() + L"\\acc-probe-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                             std::to_wstring(++run) + L".txt";
    ::DeleteFileW(out.c_str());
    const std::wstring exe = BuildDir() + L"\\tests\\driver\\acc-probe.exe";
    Process probe = Process::Start(exe, L"\"" + out + L"\" " +
                                            std::to_wstring(reinterpret_cast<UINT_PTR>(hwnd)) + L" " + verbAndChild);
    if (!probe) return {};
    if (!PumpUntil([&] { return !probe.Running(); }, 30000)) {
        probe.Kill();
        return {};
    }
    std::vector<std::string> lines;
    if (FILE* f = _wfopen(out.c_str(), L"rb")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, f)) {
            std::string line(buffer);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            lines.push_back(line);
        }
        std::fclose(f);
    }
    ::DeleteFileW(out.c_str());
    return lines;
}

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!line.empty() && line.back() == separator) parts.emplace_back();
    return parts;
}

}  // namespace

ComRef<IAccessible> ClientObject(HWND hwnd)
{
    ComRef<IAccessible> object;
    ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, object.put_void());
    return object;
}

VARIANT ChildId(long id)
{
    VARIANT child;
    ::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::vector<AccessibleNode> AccessibleTree(HWND hwnd)
{
    std::vector<AccessibleNode> tree;
    const std::vector<std::string> lines = RunProbe(hwnd, L"tree");
    if (lines.empty() || std::strtoul(lines[0].c_str(), nullptr, 16) != 0) return tree;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> parts = Split(lines[i], '|');
        if (parts.size() != 7) continue;
        AccessibleNode node;
        node.child = std::strtol(parts[0].c_str(), nullptr, 10);
        node.role = std::strtol(parts[1].c_str(), nullptr, 10);
        node.state = std::strtoul(parts[2].c_str(), nullptr, 16);
        node.name = Utf8ToWide(parts[3]);
        node.value = Utf8ToWide(parts[4]);
        node.action = Utf8ToWide(parts[5]);
        const std::vector<std::string> place = Split(parts[6], ',');
        if (place.size() == 4) {
            node.place.left = std::strtol(place[0].c_str(), nullptr, 10);
            node.place.top = std::strtol(place[1].c_str(), nullptr, 10);
            node.place.right = node.place.left + std::strtol(place[2].c_str(), nullptr, 10);
            node.place.bottom = node.place.top + std::strtol(place[3].c_str(), nullptr, 10);
        }
        tree.push_back(node);
    }
    return tree;
}

const AccessibleNode* FindNode(const std::vector<AccessibleNode>& tree, const std::wstring& name, long role)
{
    for (const AccessibleNode& node : tree)
        if (node.name == name && node.role == role) return &node;
    return nullptr;
}

HRESULT AccessibleAction(HWND hwnd, const wchar_t* verb, long child)
{
    const std::vector<std::string> lines = RunProbe(hwnd, std::wstring(verb) + L" " + std::to_wstring(child));
    if (lines.size() < 2 || std::strtoul(lines[0].c_str(), nullptr, 16) != 0) return E_FAIL;
    return static_cast<HRESULT>(std::strtoul(lines[1].c_str(), nullptr, 16));
}

namespace {
WinEventRecorder* g_recorder = nullptr;
}

WinEventRecorder::WinEventRecorder(DWORD first, DWORD last, DWORD processId, LONG object) : m_object(object)
{
    if (g_recorder) return;
    g_recorder = this;
    m_hook = ::SetWinEventHook(first, last, nullptr, &WinEventRecorder::Record, processId, 0, WINEVENT_OUTOFCONTEXT);
    if (!m_hook) g_recorder = nullptr;
}

WinEventRecorder::~WinEventRecorder()
{
    if (!m_hook) return;
    ::UnhookWinEvent(m_hook);
    g_recorder = nullptr;
}

void CALLBACK WinEventRecorder::Record(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    if (g_recorder && object == g_recorder->m_object) g_recorder->m_events.push_back({event, hwnd, child});
}

int WinEventRecorder::Count(DWORD event, HWND hwnd, LONG child) const
{
    int count = 0;
    for (const Event& e : m_events) count += e.event == event && e.hwnd == hwnd && e.child == child;
    return count;
}

bool WinEventRecorder::WaitFor(DWORD event, HWND hwnd, LONG child, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Seen(event, hwnd, child); }, timeoutMs);
}

}  // namespace driver
