// The application manifests of both built executables, read back from the files: each element
// the loader and the compatibility layer look at, and the activation context they make.

#include <gtest/gtest.h>

#include <msxml2.h>

#include <set>
#include <string>

#include "runtime/Handles.h"
#include "tests/driver/ComRef.h"
#include "tests/driver/Driver.h"

namespace {

using driver::ComRef;

// MinGW declares the interface but its import libraries do not carry the identifier.
constexpr IID kIXMLDOMDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

const wchar_t* const kExecutables[] = {L"\\app\\Corvane.exe", L"\\updater\\Update.exe"};

std::string ManifestOf(const std::wstring& exe)
{
    rt::Module module(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return {};
    HRSRC res = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (!res) return {};
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(module.get(), res)));
    return std::string(data, ::SizeofResource(module.get(), res));
}

class Manifest {
public:
    explicit Manifest(const std::string& xml)
    {
        CLSID clsid;
        if (FAILED(::CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &clsid))) return;
        if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument2, m_doc.put_void())))
            return;
        m_doc->put_async(VARIANT_FALSE);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        m_doc->loadXML(Bstr(driver::Utf8ToWide(xml)).get(), &loaded);
        m_loaded = loaded == VARIANT_TRUE;
        SetProperty(L"SelectionLanguage", L"XPath");
        SetProperty(L"SelectionNamespaces",
                    L"xmlns:v1='urn:schemas-microsoft-com:asm.v1' xmlns:v3='urn:schemas-microsoft-com:asm.v3' "
                    L"xmlns:c='urn:schemas-microsoft-com:compatibility.v1' "
                    L"xmlns:ws05='http://schemas.microsoft.com/SMI/2005/WindowsSettings' "
                    L"xmlns:ws16='http://schemas.microsoft.com/SMI/2016/WindowsSettings'");
    }
    bool Loaded() const { return m_loaded; }

    // The text of every node an XPath expression selects.
    std::vector<std::wstring> Select(const wchar_t* xpath) const
    {
        std::vector<std::wstring> values;
        ComRef<IXMLDOMNodeList> nodes;
        if (FAILED(m_doc->selectNodes(Bstr(xpath).get(), nodes.put())) || !nodes) return values;
        for (;;) {
            ComRef<IXMLDOMNode> node;
            if (nodes->nextNode(node.put()) != S_OK || !node) break;
            BSTR text = nullptr;
            node->get_text(&text);
            values.emplace_back(text ? text : L"");
            ::SysFreeString(text);
        }
        return values;
    }
    std::wstring One(const wchar_t* xpath) const
    {
        auto values = Select(xpath);
        return values.size() == 1 ? values[0] : L"(" + std::to_wstring(values.size()) + L" nodes)";
    }

private:
    class Bstr {
    public:
        explicit Bstr(const std::wstring& s) : m_s(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
        ~Bstr() { ::SysFreeString(m_s); }
        Bstr(const Bstr&) = delete;
        Bstr& operator=(const Bstr&) = delete;
        BSTR get() const { return m_s; }

    private:
        BSTR m_s;
    };

    void SetProperty(const wchar_t* name, const wchar_t* value)
    {
        if (!m_doc) return;
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(value);
        m_doc->setProperty(Bstr(name).get(), v);
        ::VariantClear(&v);
    }

    ComRef<IXMLDOMDocument2> m_doc;
    bool m_loaded = false;
};

class ComApartment {
public:
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { ::CoUninitialize(); }
};

std::string Narrow(const std::wstring& s) { return driver::WideToUtf8(s); }

}  // namespace

TEST(ApplicationManifest, EveryElementInBothExecutables)
{
    ComApartment com;
    for (const wchar_t* relative : kExecutables) {
        SCOPED_TRACE(Narrow(relative));
        const std::string xml = ManifestOf(driver::BuildDir() + relative);
        ASSERT_FALSE(xml.empty()) << "no RT_MANIFEST 1";
        Manifest m(xml);
        ASSERT_TRUE(m.Loaded()) << xml;

        EXPECT_EQ(m.One(L"/v1:assembly/@manifestVersion"), L"1.0");
        EXPECT_EQ(m.One(L"/v1:assembly/v1:assemblyIdentity/@type"), L"win32");
        EXPECT_EQ(m.One(L"/v1:assembly/v1:assemblyIdentity/@processorArchitecture"), L"x86");

        const wchar_t* level = L"/v1:assembly/v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel";
        EXPECT_EQ(m.One((std::wstring(level) + L"/@level").c_str()), L"asInvoker");
        EXPECT_EQ(m.One((std::wstring(level) + L"/@uiAccess").c_str()), L"false");

        // Windows 7, 8, 8.1 and 10/11, and nothing else.
        auto os = m.Select(L"/v1:assembly/c:compatibility/c:application/c:supportedOS/@Id");
        for (auto& id : os) ::CharLowerW(id.data());
        EXPECT_EQ(std::set<std::wstring>(os.begin(), os.end()),
                  (std::set<std::wstring>{L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                          L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}));
        EXPECT_EQ(os.size(), 4u);

        const wchar_t* controls = L"/v1:assembly/v1:dependency/v1:dependentAssembly/v1:assemblyIdentity";
        auto attribute = [&](const wchar_t* name) { return m.One((std::wstring(controls) + L"/@" + name).c_str()); };
        EXPECT_EQ(attribute(L"name"), L"Microsoft.Windows.Common-Controls");
        EXPECT_EQ(attribute(L"version"), L"6.0.0.0");
        EXPECT_EQ(attribute(L"publicKeyToken"), L"6595b64144ccf1df");
        EXPECT_EQ(attribute(L"type"), L"win32");

#if CORVANE_DPI_AWARE
        // Per monitor, version 2 where the system knows it; each element in the namespace of the
        // Windows that reads it, or that Windows ignores it.
        const std::wstring settings = L"/v1:assembly/v3:application/v3:windowsSettings";
        EXPECT_EQ(m.One((settings + L"/ws05:dpiAware").c_str()), L"true/pm");
        EXPECT_EQ(m.One((settings + L"/ws16:dpiAwareness").c_str()), L"PerMonitorV2, PerMonitor");
        EXPECT_EQ(m.Select(L"//*[local-name()='dpiAware' or local-name()='dpiAwareness']").size(), 2u);
#else
        // No DPI declaration in any namespace: the windows keep their exact pixel geometry.
        EXPECT_TRUE(m.Select(L"//*[local-name()='dpiAware' or local-name()='dpiAwareness']").empty());
#endif
    }
}

TEST(ApplicationManifest, ActivationContextRedirectsToCommonControlsSix)
{
    for (const wchar_t* relative : kExecutables) {
        SCOPED_TRACE(Narrow(relative));
        const std::wstring exe = driver::BuildDir() + relative;
        ACTCTXW request{sizeof(request)};
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = exe.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(1);
        HANDLE context = ::CreateActCtxW(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << ::GetLastError();
        ULONG_PTR cookie = 0;
        ASSERT_TRUE(::ActivateActCtx(context, &cookie));
        // The dependency resolved: inside the context comctl32.dll is redirected to the side-by-side
        // Common Controls 6 assembly.
        ACTCTX_SECTION_KEYED_DATA redirect{sizeof(redirect)};
        EXPECT_TRUE(::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                               &redirect));
        ::DeactivateActCtx(0, cookie);
        ::ReleaseActCtx(context);
    }
}
