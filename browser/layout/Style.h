#pragma once
// The computed style of an element: the HTML attributes and the inline style subset this engine
// draws, inherited the way browsers inherit them.

#include <array>
#include <optional>
#include <string>

#include "browser/html/Css.h"
#include "browser/html/Dom.h"

namespace browser {

enum class Display { None, Block, Inline, ListItem, Table, TableRow, TableCell, TableSection };
enum class TextAlign { Left, Center, Right };
enum class VerticalAlign { Top, Middle, Bottom };

struct FontDesc {
    int sizePx = 16;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontDesc&) const = default;
};

struct ComputedStyle {
    // Inherited.
    FontDesc font;
    Rgb color = 0x000000;
    Rgb linkColor = 0x0000EE;
    TextAlign textAlign = TextAlign::Left;
    bool preformatted = false;
    bool noWrap = false;
    // Not inherited.
    Display display = Display::Inline;
    std::optional<Rgb> background;
    std::array<int, 4> margin{};   // top, right, bottom, left
    std::array<int, 4> padding{};  // top, right, bottom, left
    std::optional<Length> width;
    std::optional<Length> height;
    VerticalAlign verticalAlign = VerticalAlign::Middle;
    std::string overflow;  // "" (visible) or "hidden", "scroll", "auto"
};

// The style of `element` given its parent's computed style.
ComputedStyle ComputeStyle(const Node& element, const ComputedStyle& parent);

// The style of the canvas the body and root inherit from.
ComputedStyle InitialStyle();

}  // namespace browser
