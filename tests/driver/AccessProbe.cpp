// acc-probe OUT HWND VERB [CHILD]: a screen reader's view of a window, from a process of its
// own. VERB "tree" writes the window's client object and its children, one a line, as
// child|role|state|name|value|action|left,top,width,height (UTF-8) to OUT; "do" runs a child's
// default action and "select" selects it, writing the call's result. The first line is the
// result of reaching the object at all.

#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const wchar_t* text, int length)
{
    if (!text || length <= 0) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

// One text of a child, read by `get` (a member of IAccessible taking the child and a BSTR*).
template <typename Get>
std::string Read(IAccessible* object, const VARIANT& child, Get get)
{
    BSTR text = nullptr;
    const HRESULT hr = (object->*get)(child, &text);
    std::string out = SUCCEEDED(hr) && text ? Utf8(text, static_cast<int>(::SysStringLen(text))) : std::string();
    ::SysFreeString(text);
    return out;
}

void Describe(FILE* out, IAccessible* object, long id)
{
    VARIANT child;
    ::VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    const std::string nameText = Read(object, child, &IAccessible::get_accName);
    const std::string valueText = Read(object, child, &IAccessible::get_accValue);
    const std::string actionText = Read(object, child, &IAccessible::get_accDefaultAction);
    VARIANT role;
    VARIANT state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    long left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, child);
    std::fprintf(out, "%ld|%ld|%lx|%s|%s|%s|%ld,%ld,%ld,%ld\n", id, role.vt == VT_I4 ? role.lVal : -1L,
                 state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0UL, nameText.c_str(),
                 valueText.c_str(), actionText.c_str(), left, top, width, height);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) return 2;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) return 3;
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[2], nullptr, 0)));
    const std::wstring verb = argv[3];
    const long childId = argc > 4 ? std::wcstol(argv[4], nullptr, 0) : 0;
    ::CoInitialize(nullptr);
    IAccessible* object = nullptr;
    HRESULT hr = ::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                              reinterpret_cast<void**>(&object));
    std::fprintf(out, "%08lx\n", static_cast<unsigned long>(hr));
    if (object) {
        VARIANT child;
        ::VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = childId;
        if (verb == L"tree") {
            Describe(out, object, 0);
            long count = 0;
            object->get_accChildCount(&count);
            if (count > 0 && count < 256) {
                VARIANT children[256];
                long got = 0;
                if (SUCCEEDED(::AccessibleChildren(object, 0, count, children, &got))) {
                    for (long i = 0; i < got; ++i) {
                        if (children[i].vt == VT_I4) Describe(out, object, children[i].lVal);
                        ::VariantClear(&children[i]);
                    }
                }
            }
        } else if (verb == L"do") {
            std::fprintf(out, "%08lx\n", static_cast<unsigned long>(object->accDoDefaultAction(child)));
        } else if (verb == L"select") {
            std::fprintf(out, "%08lx\n", static_cast<unsigned long>(object->accSelect(SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS, child)));
        }
        object->Release();
    }
    ::CoUninitialize();
    std::fclose(out);
    return 0;
}
