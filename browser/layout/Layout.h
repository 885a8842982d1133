#pragma once
// Lays a document out for a given width: block and inline flow with word wrap, lists, simple
// tables, images and form controls. The result is a display list in page coordinates that the
// window paints; text is measured through an interface, so layout runs without a window.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/html/Dom.h"
#include "browser/layout/Style.h"

namespace browser {

// Page coordinates and extents stay within +-kMaxPageCoordinate whatever the page holds: content
// beyond it piles up at the limit, and sums of two coordinates still fit an int.
inline constexpr int kMaxPageCoordinate = 10'000'000;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

struct Size {
    int width = 0, height = 0;
};

class LayoutHost {
public:
    virtual ~LayoutHost() = default;
    virtual int TextWidth(std::string_view utf8, const FontDesc& font) = 0;
    virtual int Ascent(const FontDesc& font) = 0;
    virtual int Descent(const FontDesc& font) = 0;
    // The size of a loaded image (by its src as written), if known.
    virtual std::optional<Size> ImageSize(const std::string& src) = 0;
};

enum class ItemKind { Fill, Text, Image, Frame };

struct DisplayItem {
    ItemKind kind = ItemKind::Fill;
    Rect rect;
    Rgb color = 0;
    std::string text;      // Text: what to draw; Image: its src
    FontDesc font;
    int ascent = 0;        // Text: where the baseline lies within the rect
};

struct LinkArea {
    Rect rect;
    // As written in the page; the areas of one link (a piece per word or picture) share it.
    std::shared_ptr<const std::string> href;
    const Node* element = nullptr;  // its a element; a link broken over lines has several areas
};

enum class ControlKind { TextInput, Password, Submit, Button, TextArea };

struct ControlBox {
    ControlKind kind = ControlKind::TextInput;
    Rect rect;
    const Node* element = nullptr;
    FontDesc font;
};

// A number no other layout of this process has had.
std::uint64_t NewLayoutId();

struct PageLayout {
    std::vector<DisplayItem> items;
    std::vector<LinkArea> links;
    std::vector<ControlBox> controls;
    int width = 0;   // extent of the content
    int height = 0;
    Rgb canvas = 0xFFFFFF;  // the body's (or root's) background fills the whole view
    bool scrollable = true;  // false when the root's overflow or the body's scroll="no" forbids it
    // Tells this layout from every other, so that what is derived from the one shown (the links
    // screen readers ask about one at a time) is kept until another takes its place.
    std::uint64_t id = NewLayoutId();
};

PageLayout LayoutDocument(const Document& document, LayoutHost& host, int viewportWidth);

// Which link lies under a point in page coordinates, if any.
const LinkArea* LinkAt(const PageLayout& layout, int x, int y);

// The colour a display item is painted over: that of the last fill before it that holds the
// item's centre, else the canvas.
Rgb BackdropOf(const PageLayout& layout, std::size_t item);

}  // namespace browser
