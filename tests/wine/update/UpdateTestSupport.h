#pragma once
// What the update tests share: the demo portals started around the program (run_with_portals.sh),
// their common work directory, and files as bytes.

#include <windows.h>

#include <optional>
#include <vector>
#include <string>

#include "tests/driver/Driver.h"

namespace updatetest {

// The portals: Portal() the main one, else Portal("SIGN"), "CUT0", "CUT50", "CUT99", "SLOW";
// PortalLog() the main one's requests.
using driver::Portal;
using driver::PortalLog;
// The portals' work directory (Windows path): update.txt is the main portal's manifest,
// files\ is served under /files/ by every portal.
std::wstring WorkDir();
std::wstring FilesDir();
// Writes the manifest the main portal serves: the version line, then the file lines, CR LF, as
// the portal publishes it: signed with the demo key, the hashes of the files it serves filled in.
void ServeManifest(const std::string& version, const std::string& fileLines);
void ServeSigned(const std::string& text);
// The main portal serves a hostile variant of the manifest last given to ServeSigned.
void ServeHostile(const std::string& kind);
// `text` signed as the portal publishes it, or (with `kind`) a hostile variant of it.
std::string SignedManifest(const std::string& text, const std::string& kind = {});

// The kinds of manifest the portal serves under /hostile/<kind>/update.txt, made from the one it
// serves (ServeManifest), that the checks and the updater must refuse. "replay" is the manifest as
// it was signed years before this build; "no-issued" is signed without the time.
inline const char* const kRefusedManifests[] = {"unsigned",   "tampered-line", "wrong-key", "signature-middle",
                                                "two-signatures", "short-hash", "oversized", "replay",
                                                "no-issued"};

// A fresh, empty directory <work>\<name>.
std::wstring FreshDir(const std::wstring& name);

bool WriteBytes(const std::wstring& path, const std::string& bytes);
// nullopt when the file cannot be read.
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// Deterministic bytes, not periodic at the download's block size.
std::string Pattern(std::size_t size, unsigned seed);

}  // namespace updatetest

namespace updatetest {

// The id of a running process by executable file name ("Update.exe"), 0 when there is none.
DWORD FindProcess(const wchar_t* exeName);
// The command line a process was started with, read from its process parameters.
std::wstring ProcessCommandLine(DWORD processId);

// The files of a directory (names only, sorted).
std::vector<std::wstring> ListDir(const std::wstring& dir);

// The test client (update_probe.exe) with `tag` appended: a program that, started, appends its
// own path and a newline to the file named by CORVANE_TEST_MARKER, then ends.
std::string ProbeClient(const std::string& tag);

}  // namespace updatetest
