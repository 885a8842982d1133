// Block boxes: margins, padding, list markers and background fills.

#include "browser/layout/LayoutEngine.h"

namespace browser::layout_engine {

void Engine::BlockChild(const Node& e, const ComputedStyle& cs, LineContext& lc, int depth)
{
    FinishLine(lc);
    const int top = std::max(lc.pendingMargin, cs.margin[0]);
    lc.pendingMargin = 0;
    const int y = Coord(static_cast<long long>(lc.y) + top);
    const int avail = Coord(std::max(0LL, static_cast<long long>(lc.right) - lc.left - cs.margin[1] - cs.margin[3]));
    int x = Coord(static_cast<long long>(lc.left) + cs.margin[3]);
    int width = 0;
    int height = 0;
    if (cs.display == Display::Table) {
        TextAlign align = lc.align;
        const std::string a = AsciiLowercase(e.Attr("align"));
        if (a == "center") align = TextAlign::Center;
        else if (a == "right") align = TextAlign::Right;
        else if (a == "left") align = TextAlign::Left;
        height = Table(e, cs, x, y, avail, align, width, depth);
    } else {
        width = avail;
        if (cs.width) width = std::min(avail, Px(cs.width->percent ? avail * cs.width->value / 100 : cs.width->value));
        height = Block(e, cs, x, y, width, depth);
    }
    lc.widest = std::max(lc.widest, Coord(static_cast<long long>(x) + width));
    lc.y = Coord(static_cast<long long>(y) + height);
    lc.pendingMargin = cs.margin[2];
}

int Engine::Block(const Node& e, const ComputedStyle& cs, int x, int y, int width, int depth)
{
    const std::size_t fill = BeginFill(cs, e);
    if (e.IsElement("hr")) {
        DisplayItem line;
        line.kind = ItemKind::Fill;
        line.rect = {x, y, width, 2};
        line.color = 0x808080;
        m_out.items.push_back(line);
        return 2;
    }
    LineContext lc;
    lc.left = Coord(static_cast<long long>(x) + cs.padding[3]);
    lc.right = std::max(lc.left, Coord(static_cast<long long>(x) + width - cs.padding[1]));
    lc.x = lc.left;
    lc.y = Coord(static_cast<long long>(y) + cs.padding[0]);
    lc.align = cs.textAlign;
    if (cs.display == Display::ListItem) Marker(e, cs, lc);
    Flow(e, cs, lc, kNone, depth);
    FinishLine(lc);
    int height = Coord(static_cast<long long>(lc.y) + lc.pendingMargin + cs.padding[2] - y);
    if (cs.height && !cs.height->percent) height = std::max(height, Px(cs.height->value));
    EndFill(fill, {x, y, width, height});
    return height;
}

void Engine::Marker(const Node& e, const ComputedStyle& cs, LineContext& lc)
{
    std::string marker = "\xE2\x80\xA2";  // bullet
    const Node* list = e.parent();
    if (list && list->IsElement("ol")) {
        int n = 1;
        for (const auto& sibling : list->children()) {
            if (sibling.get() == &e) break;
            if (sibling->IsElement("li")) ++n;
        }
        marker = std::to_string(n) + ".";
    }
    DisplayItem item;
    item.kind = ItemKind::Text;
    const int w = TextWidth(marker, cs.font);
    item.rect = {lc.left - w - 6, lc.y, w, Ascent(cs.font) + Descent(cs.font)};
    item.text = marker;
    item.font = cs.font;
    item.font.underline = false;
    item.color = cs.color;
    item.ascent = Ascent(cs.font);
    m_out.items.push_back(std::move(item));
}

std::size_t Engine::BeginFill(const ComputedStyle& cs, const Node& e)
{
    if (!cs.background || e.IsElement("body") || e.IsElement("html")) return kNone;
    DisplayItem fill;
    fill.kind = ItemKind::Fill;
    fill.color = *cs.background;
    m_out.items.push_back(fill);
    return m_out.items.size() - 1;
}

void Engine::EndFill(std::size_t fill, Rect r)
{
    if (fill != kNone) m_out.items[fill].rect = r;
}

}  // namespace browser::layout_engine
