#pragma once
// Which names from a manifest or from the record of placed files the updater and the uninstaller
// act on (installer/client.nsh holds the same rules): plain names of files directly inside the
// installation folder, never a name the system reads as something else.

#include <string>
#include <string_view>

namespace corvane {

// A plain file name: not empty, no path separator, drive colon or "..", none of the characters
// file names cannot hold, no "~" (a short-name alias may name another file), not ending in a dot
// or a blank (the system drops them, so the name would be another one), not a device name in any
// form, and not a name of the updater's own files.
bool IsSafeFileName(std::wstring_view name);

// "CON", "nul.txt", "COM1 .log", "conout$", "LPT²": names that open a device, whatever follows
// the first dot and whatever blanks end the base name.
bool IsDeviceName(std::wstring_view name);

// The name as the file system compares names, for finding duplicates: upper case for the
// scripts whose case maps one to one (Latin, Greek, Cyrillic, full-width Latin). Names that differ
// only in a rarer letter pair are kept apart; the replace then fails and changes nothing.
std::wstring FoldedFileName(std::wstring_view name);

}  // namespace corvane
