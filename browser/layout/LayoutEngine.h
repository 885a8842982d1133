#pragma once
// The layout engine inside LayoutDocument: the page's limits, the state of a line, a table and
// an intrinsic-width walk, and the engine itself. Its members live in one file per formatting
// context: InlineFlow.cpp, BlockFlow.cpp, TableLayout.cpp, FormControls.cpp and
// IntrinsicWidths.cpp, with Layout.cpp as the driver.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "browser/html/Parser.h"
#include "browser/html/Utf8.h"
#include "browser/layout/Layout.h"

namespace browser::layout_engine {

// Content deeper than the parser builds is not laid out: the native stack stays bounded whatever
// the page holds.
constexpr int kMaxLayoutDepth = static_cast<int>(kMaxTreeDepth);
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

inline int Px(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6))); }

// A sum or product of page coordinates, computed wide and kept within the page's limits.
inline int Coord(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, -kMaxPageCoordinate, kMaxPageCoordinate));
}

inline int IntAttr(const Node& e, std::string_view name, int fallback, int lo, int hi)
{
    const std::string* v = e.FindAttribute(name);
    if (!v) return fallback;
    auto l = ParseLength(*v);
    if (!l || l->percent) return fallback;
    return std::clamp(Px(l->value), lo, hi);
}

struct Piece {
    std::size_t item = kNone;     // display item, or
    std::size_t control = kNone;  // control box
    std::size_t link = kNone;      // which href (for merging runs)
    std::size_t linkArea = kNone;  // its area in the layout's links
    int ascent = 0;
    int descent = 0;
};

struct LineContext {
    int left = 0;
    int right = 0;
    int y = 0;
    TextAlign align = TextAlign::Left;
    int x = 0;
    bool pendingSpace = false;
    int pendingMargin = 0;  // bottom margin of the last block, collapsed with the next top margin
    std::vector<Piece> pieces;
    int maxAscent = 0;
    int maxDescent = 0;
    int widest = 0;  // right edge of the widest line or block so far
};

struct Intrinsic {
    int min = 0;
    int max = 0;
};

struct Ranges {
    std::size_t items, links, controls;
};

// Tables.
struct Cell {
    const Node* node;
    ComputedStyle style;
    int col = 0;
    int span = 1;
    int declaredWidth = -1;   // pixels, border box
    double percent = -1;
    Intrinsic intrinsic;
    int height = 0;
    Ranges start{};  // its fill and content lie between these marks
    Ranges end{};
    std::size_t fill = kNone;
    int x = 0;
    int width = 0;
};

struct Row {
    const Node* node;
    ComputedStyle style;
    std::vector<Cell> cells;
    int declaredHeight = 0;
    int height = 0;
    std::size_t fill = kNone;
};

struct TableModel {
    std::vector<Row> rows;
    int columns = 0;
    int padding = 1;
    int spacing = 2;
    int border = 0;
    std::vector<int> colMin, colMax, colDeclared;
    std::vector<double> colPercent;
};

// An intrinsic-width walk: the line so far and the narrowest and widest results.
struct Accumulator {
    int line = 0;
    bool pendingSpace = false;
    Intrinsic result;
    void EndLine()
    {
        result.max = std::max(result.max, line);
        line = 0;
        pendingSpace = false;
    }
    void Atom(int w, int spaceWidth)
    {
        long long next = line;
        if (pendingSpace && line > 0) next += spaceWidth;
        pendingSpace = false;
        line = Coord(next + w);
        result.min = std::max(result.min, w);
    }
};

class Engine {
public:
    Engine(LayoutHost& host, PageLayout& out) : m_host(host), m_out(out) {}

    void Run(const Document& doc, int viewportWidth);

private:
    // What the host measures, kept within the page's limits.
    int TextWidth(std::string_view text, const FontDesc& font) { return Coord(m_host.TextWidth(text, font)); }
    int Ascent(const FontDesc& font) { return std::clamp(m_host.Ascent(font), 0, 100000); }
    int Descent(const FontDesc& font) { return std::clamp(m_host.Descent(font), 0, 100000); }

    // Inline flow (InlineFlow.cpp).
    void Flow(const Node& node, const ComputedStyle& style, LineContext& lc, std::size_t href, int depth);
    void StartLineMargin(LineContext& lc);
    void Text(std::string_view text, const ComputedStyle& style, LineContext& lc, std::size_t href);
    void Word(std::string_view word, bool spaceBefore, const ComputedStyle& style, LineContext& lc, std::size_t href);
    void Place(LineContext& lc, DisplayItem item, std::size_t href, int ascent, int descent);
    // Room for an unbreakable box of width `w` on the current line.
    void MakeRoom(LineContext& lc, int w, bool noWrap);
    void FinishLine(LineContext& lc);
    Size ImageBox(const Node& e, const ComputedStyle& cs);
    void Image(const Node& e, const ComputedStyle& cs, LineContext& lc, std::size_t href);

    // Form controls on a line (FormControls.cpp).
    std::optional<std::pair<ControlKind, Size>> ControlMetrics(const Node& e, const ComputedStyle& cs);
    void Control(const Node& e, const ComputedStyle& cs, LineContext& lc);

    // Blocks (BlockFlow.cpp).
    void BlockChild(const Node& e, const ComputedStyle& cs, LineContext& lc, int depth);
    // Lays out a block box at (x, y) of the given border-box width; returns its height.
    int Block(const Node& e, const ComputedStyle& cs, int x, int y, int width, int depth);
    void Marker(const Node& e, const ComputedStyle& cs, LineContext& lc);
    std::size_t BeginFill(const ComputedStyle& cs, const Node& e);
    void EndFill(std::size_t fill, Rect r);

    // Tables (TableLayout.cpp).
    static void CollectRows(const Node& table, const ComputedStyle& tableStyle, TableModel& m);
    TableModel Model(const Node& table, const ComputedStyle& cs, int depth);
    // The narrowest and widest border box the columns allow.
    Intrinsic ColumnSums(const TableModel& m) const;
    Intrinsic TableIntrinsic(const Node& table, const ComputedStyle& cs, int depth);
    std::vector<int> ColumnWidths(const TableModel& m, int tableWidth) const;
    static void Move(Rect& r, long long dx, long long dy);
    void Shift(const Ranges& from, const Ranges& to, long long dx, long long dy);
    int Table(const Node& table, const ComputedStyle& cs, int x, int y, int avail, TextAlign align, int& outWidth, int depth);
    void Frame(Rect r, Rgb color);
    int Chrome(const TableModel& m) const { return (m.columns + 1) * m.spacing + 2 * m.border; }
    Ranges Mark() const { return {m_out.items.size(), m_out.links.size(), m_out.controls.size()}; }

    // Intrinsic widths (IntrinsicWidths.cpp).
    Intrinsic ContentIntrinsic(const Node& node, const ComputedStyle& style, int depth);
    void Accumulate(const Node& node, const ComputedStyle& style, Accumulator& acc, int depth);

    LayoutHost& m_host;
    PageLayout& m_out;
    std::vector<std::shared_ptr<const std::string>> m_hrefs;
    std::vector<const Node*> m_anchors;  // the a element of each href
    std::unordered_map<const Node*, Intrinsic> m_intrinsic;
};

}  // namespace browser::layout_engine
