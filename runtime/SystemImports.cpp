// The functions both programs call in system libraries that are not known DLLs, bound on first
// call to the library in the system folder (runtime/SystemLibraries.h) instead of imported at
// start. Each one takes the place an import library gives it: the pointer `__imp__Name@N` that
// calls through it use, and the stub `_Name@N` that jumps through that pointer. The pointer
// first leads to a resolver that loads the library, stores the function's address in the
// pointer and jumps there with the caller's arguments untouched, so later calls cost what an
// import costs. Linked into the executables only, ahead of the import libraries, which then
// supply none of these names; tests/wine/app checks that their import tables hold known DLLs
// only. Every function here is __stdcall, which leaves eax, ecx and edx to the callee.

#include <windows.h>

#include <string>

#include "runtime/App.h"
#include "runtime/SystemLibraries.h"

extern "C" void* CorvaneBindSystemImport(const wchar_t* dll, const char* name, void** slot)
{
    HMODULE module = rt::SystemLibrary(dll);
    void* address = module ? reinterpret_cast<void*>(::GetProcAddress(module, name)) : nullptr;
    if (!address) {
        // What the loader would have refused at start: nothing can go on without it.
        std::wstring function;
        for (const char* c = name; *c; ++c) function += static_cast<wchar_t>(*c);
        rt::App::LogEvent(L"SystemImports: " + std::wstring(dll) + L" lacks " + function);
        ::ExitProcess(ERROR_PROC_NOT_FOUND);
    }
    *slot = address;
    return address;
}

#define CORVANE_SYSTEM_LIBRARY(lib)                          \
    asm(".section .rdata,\"dr\"\n"                           \
        ".balign 2\n"                                        \
        "corvane_library_" #lib ":\n"                        \
        "  .string16 \"" #lib ".dll\"\n"                     \
        "  .short 0\n"                                       \
        ".text\n");

#define CORVANE_SYSTEM_IMPORT(lib, name, bytes)                                   \
    asm(".section .rdata,\"dr\"\n"                                                \
        "corvane_name_" #name ": .asciz \"" #name "\"\n"                           \
        ".data\n"                                                                 \
        ".balign 4\n"                                                             \
        ".globl \"__imp__" #name "@" #bytes "\"\n"                                \
        "\"__imp__" #name "@" #bytes "\": .long corvane_bind_" #name "\n"          \
        ".text\n"                                                                 \
        ".globl \"_" #name "@" #bytes "\"\n"                                      \
        "\"_" #name "@" #bytes "\": jmp *\"__imp__" #name "@" #bytes "\"\n"       \
        "corvane_bind_" #name ":\n"                                               \
        "  pushl $\"__imp__" #name "@" #bytes "\"\n"                              \
        "  pushl $corvane_name_" #name "\n"                                       \
        "  pushl $corvane_library_" #lib "\n"                                     \
        "  call _CorvaneBindSystemImport\n"                                       \
        "  addl $12, %esp\n"                                                      \
        "  jmp *%eax\n");

CORVANE_SYSTEM_LIBRARY(bcrypt)
CORVANE_SYSTEM_LIBRARY(gdiplus)
CORVANE_SYSTEM_LIBRARY(msimg32)
CORVANE_SYSTEM_LIBRARY(oleacc)
CORVANE_SYSTEM_LIBRARY(urlmon)
CORVANE_SYSTEM_LIBRARY(version)
CORVANE_SYSTEM_LIBRARY(wininet)

CORVANE_SYSTEM_IMPORT(bcrypt, BCryptCloseAlgorithmProvider, 8)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptCreateHash, 28)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptDestroyHash, 4)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptDestroyKey, 4)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptFinishHash, 16)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptGenRandom, 16)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptGetProperty, 24)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptHashData, 16)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptImportKeyPair, 28)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptOpenAlgorithmProvider, 16)
CORVANE_SYSTEM_IMPORT(bcrypt, BCryptVerifySignature, 28)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipBitmapLockBits, 20)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipBitmapUnlockBits, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipCreateBitmapFromScan0, 24)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipCreateFromHDC, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipDeleteGraphics, 4)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipDisposeImage, 4)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipDrawImageRectI, 24)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipGetImageGraphicsContext, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipGetImageHeight, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipGetImageType, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipGetImageWidth, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipLoadImageFromStream, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipSetCompositingMode, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipSetInterpolationMode, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdipSetPixelOffsetMode, 8)
CORVANE_SYSTEM_IMPORT(gdiplus, GdiplusShutdown, 4)
CORVANE_SYSTEM_IMPORT(gdiplus, GdiplusStartup, 12)
CORVANE_SYSTEM_IMPORT(msimg32, TransparentBlt, 44)
CORVANE_SYSTEM_IMPORT(oleacc, AccessibleObjectFromWindow, 16)
CORVANE_SYSTEM_IMPORT(oleacc, CreateStdAccessibleObject, 16)
CORVANE_SYSTEM_IMPORT(oleacc, LresultFromObject, 12)
CORVANE_SYSTEM_IMPORT(urlmon, CoInternetSetFeatureEnabled, 12)
CORVANE_SYSTEM_IMPORT(version, VerQueryValueW, 16)
CORVANE_SYSTEM_IMPORT(wininet, DeleteUrlCacheEntryA, 4)
CORVANE_SYSTEM_IMPORT(wininet, FindCloseUrlCache, 4)
CORVANE_SYSTEM_IMPORT(wininet, FindFirstUrlCacheEntryA, 12)
CORVANE_SYSTEM_IMPORT(wininet, FindNextUrlCacheEntryA, 12)
CORVANE_SYSTEM_IMPORT(wininet, HttpOpenRequestW, 32)
CORVANE_SYSTEM_IMPORT(wininet, HttpQueryInfoW, 20)
CORVANE_SYSTEM_IMPORT(wininet, HttpSendRequestW, 20)
CORVANE_SYSTEM_IMPORT(wininet, InternetCloseHandle, 4)
CORVANE_SYSTEM_IMPORT(wininet, InternetConnectW, 32)
CORVANE_SYSTEM_IMPORT(wininet, InternetCrackUrlW, 16)
CORVANE_SYSTEM_IMPORT(wininet, InternetGetConnectedState, 8)
CORVANE_SYSTEM_IMPORT(wininet, InternetOpenUrlW, 24)
CORVANE_SYSTEM_IMPORT(wininet, InternetOpenW, 20)
CORVANE_SYSTEM_IMPORT(wininet, InternetQueryDataAvailable, 16)
CORVANE_SYSTEM_IMPORT(wininet, InternetQueryOptionW, 16)
CORVANE_SYSTEM_IMPORT(wininet, InternetReadFile, 16)
CORVANE_SYSTEM_IMPORT(wininet, InternetSetOptionW, 16)
