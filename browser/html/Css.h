#pragma once
// The little CSS this engine understands: inline style declarations, colours and lengths.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace browser {

// 0x00RRGGBB.
using Rgb = std::uint32_t;

// "#FEFEFE", "#fff", "red", "rgb(1,2,3)"; with `legacy` (HTML attributes) also "FEFEFE" and the
// forgiving attribute rules of browsers. nullopt for "transparent" and anything unreadable.
std::optional<Rgb> ParseColor(std::string_view text, bool legacy = false);

// "a:1; b : 2" → {{"a","1"},{"b","2"}}; names lower case, later duplicates kept (last wins).
std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view style);

struct Length {
    double value = 0;
    bool percent = false;
};
// "12px", "12", "50%", "1.5em" (em against `emBase`), "10pt"; nullopt otherwise.
std::optional<Length> ParseLength(std::string_view text, double emBase = 16);

// Box sides from a "margin"/"padding" shorthand: top, right, bottom, left in pixels.
std::optional<std::vector<double>> ParseBoxShorthand(std::string_view text, double emBase = 16);

}  // namespace browser
