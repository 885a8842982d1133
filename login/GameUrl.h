#pragma once
// What may become a game page. A game page comes from a login page's start command or from any
// local program through DDE, and is shown inside the client's own window: only web addresses
// qualify. A file, a share (which would send the player's network credentials to its host), a
// script or a resource URL never does. The home page and the update addresses are the program's
// own configuration and are not judged here.

#include <cstddef>
#include <string_view>

namespace corvane {

// The longest address the system's browser control accepts (characters).
inline constexpr std::size_t kMaxGameUrlLength = 2083;

// True for an http: or https: URL (scheme in any letter case) with a host, and nothing else:
// no user name or password before the host, no control or invisible formatting characters
// anywhere, at most kMaxGameUrlLength characters. The host is a name of letters (any script),
// digits, "-", "_" and ".", or an IP literal, optionally with a port of 1 to 65535; percent
// signs are allowed after the host only, where they stay escapes for the server.
bool IsGameUrl(std::wstring_view url);

}  // namespace corvane
