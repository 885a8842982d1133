// Inline flow: words, images and controls placed on lines, lines broken and aligned.

#include "browser/layout/LayoutEngine.h"
#include "browser/layout/LineBreaks.h"

namespace browser::layout_engine {

void Engine::Flow(const Node& node, const ComputedStyle& style, LineContext& lc, std::size_t href, int depth)
{
    if (depth > kMaxLayoutDepth) return;
    for (const auto& child : node.children()) {
        if (child->type() == NodeType::Text) {
            Text(child->text(), style, lc, href);
            continue;
        }
        if (!child->IsElement()) continue;
        const Node& e = *child;
        const ComputedStyle cs = ComputeStyle(e, style);
        if (cs.display == Display::None) continue;
        const std::string& n = e.name();
        if (n == "br") {
            if (lc.pieces.empty()) StartLineMargin(lc), lc.y = Coord(static_cast<long long>(lc.y) + Ascent(cs.font) + Descent(cs.font));
            else FinishLine(lc);
            lc.pendingSpace = false;
            continue;
        }
        if (n == "img") {
            Image(e, cs, lc, href);
            continue;
        }
        if (n == "input" || n == "textarea" || n == "button" || n == "select") {
            Control(e, cs, lc);
            continue;
        }
        if (cs.display == Display::Inline || cs.display == Display::TableRow || cs.display == Display::TableCell ||
            cs.display == Display::TableSection) {
            std::size_t link = href;
            if (n == "a" && e.HasAttr("href")) {
                link = m_hrefs.size();
                m_hrefs.push_back(std::make_shared<const std::string>(e.Attr("href")));
                m_anchors.push_back(&e);
            }
            Flow(e, cs, lc, link, depth + 1);
            continue;
        }
        BlockChild(e, cs, lc, depth + 1);
    }
}

void Engine::StartLineMargin(LineContext& lc)
{
    lc.y = Coord(static_cast<long long>(lc.y) + lc.pendingMargin);
    lc.pendingMargin = 0;
}

void Engine::Text(std::string_view text, const ComputedStyle& style, LineContext& lc, std::size_t href)
{
    Tokenize(
        text, style.preformatted, lc.pendingSpace,
        [&](std::string_view word, bool spaceBefore) { Word(word, spaceBefore, style, lc, href); },
        [&] {
            if (lc.pieces.empty()) StartLineMargin(lc), lc.y = Coord(static_cast<long long>(lc.y) + Ascent(style.font) + Descent(style.font));
            else FinishLine(lc);
        });
}

void Engine::Word(std::string_view word, bool spaceBefore, const ComputedStyle& style, LineContext& lc, std::size_t href)
{
    const int w = TextWidth(word, style.font);
    int space = spaceBefore && !lc.pieces.empty() ? TextWidth(" ", style.font) : 0;
    if (!lc.pieces.empty() && !style.noWrap && static_cast<long long>(lc.x) + space + w > lc.right) {
        FinishLine(lc);
        space = 0;
    }
    if (lc.pieces.empty()) StartLineMargin(lc);
    // Runs of one style on one line become one text item.
    if (!lc.pieces.empty() && lc.pieces.back().item != kNone && lc.pieces.back().link == href) {
        DisplayItem& last = m_out.items[lc.pieces.back().item];
        if (last.kind == ItemKind::Text && last.font == style.font && last.color == style.color &&
            last.rect.right() == lc.x) {
            if (space) last.text += ' ';
            last.text.append(word);
            lc.x = Coord(static_cast<long long>(lc.x) + space + w);
            last.rect.width = lc.x - last.rect.x;
            if (lc.pieces.back().linkArea != kNone) m_out.links[lc.pieces.back().linkArea].rect.width = last.rect.width;
            return;
        }
    }
    lc.x = Coord(static_cast<long long>(lc.x) + space);
    DisplayItem item;
    item.kind = ItemKind::Text;
    item.rect = {lc.x, 0, w, Ascent(style.font) + Descent(style.font)};
    item.color = style.color;
    item.text = std::string(word);
    item.font = style.font;
    item.ascent = Ascent(style.font);
    Place(lc, std::move(item), href, item.ascent, Descent(style.font));
    lc.x = Coord(static_cast<long long>(lc.x) + w);
}

void Engine::Place(LineContext& lc, DisplayItem item, std::size_t href, int ascent, int descent)
{
    Piece p;
    p.item = m_out.items.size();
    p.ascent = ascent;
    p.descent = descent;
    p.link = href;
    if (href != kNone) {
        p.linkArea = m_out.links.size();
        m_out.links.push_back({item.rect, m_hrefs[href], m_anchors[href]});
    }
    m_out.items.push_back(std::move(item));
    lc.pieces.push_back(p);
    lc.maxAscent = std::max(lc.maxAscent, ascent);
    lc.maxDescent = std::max(lc.maxDescent, descent);
}

void Engine::MakeRoom(LineContext& lc, int w, bool noWrap)
{
    const int space = lc.pendingSpace && !lc.pieces.empty() ? 4 : 0;
    if (!lc.pieces.empty() && !noWrap && static_cast<long long>(lc.x) + space + w > lc.right) FinishLine(lc);
    else lc.x = Coord(static_cast<long long>(lc.x) + space);
    lc.pendingSpace = false;
    if (lc.pieces.empty()) StartLineMargin(lc);
}

void Engine::FinishLine(LineContext& lc)
{
    lc.pendingSpace = false;
    if (lc.pieces.empty()) {
        lc.x = lc.left;
        return;
    }
    const int extra = lc.right - lc.x;
    const int shift = extra <= 0 ? 0 : lc.align == TextAlign::Center ? extra / 2 : lc.align == TextAlign::Right ? extra : 0;
    for (const Piece& p : lc.pieces) {
        const int y = Coord(static_cast<long long>(lc.y) + lc.maxAscent - p.ascent);
        if (p.item != kNone) {
            Rect& r = m_out.items[p.item].rect;
            r.x = Coord(static_cast<long long>(r.x) + shift);
            r.y = y;
            if (p.linkArea != kNone) m_out.links[p.linkArea].rect = r;
        } else {
            Rect& r = m_out.controls[p.control].rect;
            r.x = Coord(static_cast<long long>(r.x) + shift);
            r.y = y;
        }
    }
    lc.widest = std::max(lc.widest, lc.x + shift);
    lc.y = Coord(static_cast<long long>(lc.y) + lc.maxAscent + lc.maxDescent);
    lc.pieces.clear();
    lc.maxAscent = lc.maxDescent = 0;
    lc.x = lc.left;
}

Size Engine::ImageBox(const Node& e, const ComputedStyle& cs)
{
    std::optional<Size> natural = m_host.ImageSize(e.Attr("src"));
    int w = cs.width && !cs.width->percent ? Px(cs.width->value) : -1;
    int h = cs.height && !cs.height->percent ? Px(cs.height->value) : -1;
    if (w < 0 && h < 0) {
        const Size n = natural.value_or(Size{0, 0});
        return {std::clamp(n.width, 0, 100000), std::clamp(n.height, 0, 100000)};
    }
    if (w < 0) w = natural && natural->height ? Px(double(h) * natural->width / natural->height) : h;
    if (h < 0) h = natural && natural->width ? Px(double(w) * natural->height / natural->width) : w;
    return {std::clamp(w, 0, 100000), std::clamp(h, 0, 100000)};
}

void Engine::Image(const Node& e, const ComputedStyle& cs, LineContext& lc, std::size_t href)
{
    const Size size = ImageBox(e, cs);
    MakeRoom(lc, size.width, cs.noWrap);
    DisplayItem item;
    item.kind = ItemKind::Image;
    item.rect = {lc.x, 0, size.width, size.height};
    item.text = e.Attr("src");
    Place(lc, std::move(item), href, size.height, 0);
    lc.x = Coord(static_cast<long long>(lc.x) + size.width);
}

}  // namespace browser::layout_engine
