#pragma once
// The bounds on what other programs can make of the main window: how many game pages may be
// open, what a DDE execute command may carry and how many may wait (any local process can send
// those commands), and where a game page's own content may take it.

#include <cstddef>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "browser/Navigation.h"
#include "login/GameUrl.h"

namespace corvane {

// Game pages open at once; a further URL opens nothing.
inline constexpr long kMaxGamePages = 64;

enum class GamePageStep { Open, Select, Refuse };
// What a game URL does: select its page (`existingIndex` >= 0), open a new one, or nothing when
// kMaxGamePages are open.
GamePageStep NextGamePageStep(long existingIndex, long openPages);

// Whether a game page's view may go to `url` for a navigation of `kind`. Script, a link or a frame
// on a game page must not take it, a frame of it or a window of its own to a file or a share
// (whose host would receive the player's network credentials): the game-URL rule holds for every
// address. Besides, the page itself may go to the empty page of the load step and run script
// addresses (game pages use them as links; their own navigations come back here), and a frame
// may be empty. A window the page asks for opens in the page's place: a web address only.
bool GamePageMayGo(std::wstring_view url, browser::NavigationKind kind);

// Execute commands wait here from the DDE transaction that brought them until the main window's
// thread is free of it, so the calling program never waits for a page to open.
class DdeCommandQueue {
public:
    // The largest command accepted: a URL of the longest length and its terminator, in UTF-16.
    static constexpr std::size_t kMaxBytes = (kMaxGameUrlLength + 1) * 2;
    // Commands waiting at most; more could never all become pages.
    static constexpr std::size_t kMaxWaiting = static_cast<std::size_t>(kMaxGamePages);

    // Whether data of `bytes` bytes may be taken at all (asked before copying it).
    static bool Fits(std::size_t bytes) { return bytes <= kMaxBytes; }
    // Takes the UTF-16 text of one command, up to its first NUL; false when refused (too large,
    // or kMaxWaiting commands wait already).
    bool Accept(std::span<const unsigned char> bytes);
    std::vector<std::wstring> TakeAll();
    std::size_t Waiting() const { return m_waiting.size(); }

private:
    std::deque<std::wstring> m_waiting;
};

}  // namespace corvane
