// The libraries both built executables import at start, read from their import directories: the
// loader takes a known DLL from the system folder whatever lies beside the executable, and would
// look for any other one in the executable's own folder first (a download folder, say).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/driver/Driver.h"

namespace {

// The known DLLs of every system the client runs on (Windows 7 and later): those listed on all.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll",  "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll",   "msvcrt.dll",   "normaliz.dll", "nsi.dll",     "ole32.dll",
    "oleaut32.dll", "psapi.dll",   "sechost.dll",  "setupapi.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll",   "wldap32.dll", "ws2_32.dll"};

// Where the manifest's side-by-side assembly, not the folder search, finds the library.
const std::set<std::string> kSideBySide = {"comctl32.dll"};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The names of the libraries an image imports at start; empty when it is no image.
std::vector<std::string> StaticImports(const std::wstring& exe)
{
    std::ifstream in(exe.c_str(), std::ios::binary);
    const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
    const auto at = [&](std::size_t offset, std::size_t size) { return offset + size <= file.size(); };
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS32 nt{};
    if (!at(0, sizeof dos)) return {};
    std::memcpy(&dos, file.data(), sizeof dos);
    if (!at(dos.e_lfanew, sizeof nt)) return {};
    std::memcpy(&nt, file.data() + dos.e_lfanew, sizeof nt);
    const std::size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    const auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s{};
            if (!at(sections + i * sizeof s, sizeof s)) break;
            std::memcpy(&s, file.data() + sections + i * sizeof s, sizeof s);
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return file.size();
    };
    std::vector<std::string> names;
    std::size_t next = fileOffset(nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    IMAGE_IMPORT_DESCRIPTOR entry{};
    for (; at(next, sizeof entry); next += sizeof entry) {
        std::memcpy(&entry, file.data() + next, sizeof entry);
        const std::size_t name = fileOffset(entry.Name);
        if (!entry.Name || name >= file.size()) break;
        names.push_back(Lower(std::string(file.data() + name, strnlen(file.data() + name, file.size() - name))));
    }
    return names;
}

TEST(ImportTable, BothExecutablesImportOnlyKnownDllsAtStart)
{
    for (const wchar_t* exe : {L"\\app\\Corvane.exe", L"\\updater\\Update.exe"}) {
        const std::vector<std::string> imports = StaticImports(driver::BuildDir() + exe);
        EXPECT_TRUE(std::count(imports.begin(), imports.end(), "kernel32.dll")) << driver::WideToUtf8(exe);
        for (const std::string& dll : imports)
            EXPECT_TRUE(kKnownDlls.count(dll) || kSideBySide.count(dll)) << driver::WideToUtf8(exe) << " imports " << dll;
    }
}

}  // namespace
