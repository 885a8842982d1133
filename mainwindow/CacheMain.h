#pragma once
// The browser cache cleaner behind the menu item "清除缓存": the system's URL cache is emptied
// except for the entries whose type shares a bit with the mask (cookies and history).

#include <cstdint>
#include <string>

#include "mainwindow/UrlCacheCleaner.h"

namespace corvane::CacheMain {

// The system's WinINet cache functions; the group functions are looked up when called, so a
// system without them reports kErrorMissingEntryPoint.
UrlCacheApi& SystemUrlCache();

// Runs the walk off this thread while this thread's messages are processed, and returns once it is
// done: true when it went through to the end.
bool ClearUrlCache(const std::string& pattern, std::uint32_t mask);

}  // namespace corvane::CacheMain
