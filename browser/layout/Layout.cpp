#include "browser/layout/Layout.h"

#include <atomic>

#include "browser/layout/LayoutEngine.h"

namespace browser {

namespace layout_engine {

void Engine::Run(const Document& doc, int viewportWidth)
{
    const Node* html = doc.documentElement();
    if (!html) return;
    const ComputedStyle initial = InitialStyle();
    const ComputedStyle htmlStyle = ComputeStyle(*html, initial);
    const Node* body = doc.body();
    std::optional<Rgb> canvas = htmlStyle.background;
    if (!canvas && body) canvas = ComputeStyle(*body, htmlStyle).background;
    m_out.canvas = canvas.value_or(0xFFFFFF);
    m_out.scrollable = htmlStyle.overflow != "hidden" &&
                       !(body && EqualsIgnoreCase(body->Attr("scroll"), "no"));
    LineContext lc;
    lc.left = 0;
    lc.right = std::max(0, viewportWidth);
    lc.x = lc.left;
    Flow(*html, htmlStyle, lc, kNone, 0);
    FinishLine(lc);
    m_out.height = Coord(static_cast<long long>(lc.y) + lc.pendingMargin);
    m_out.width = std::max(lc.widest, 0);
}

}  // namespace layout_engine

std::uint64_t NewLayoutId()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

PageLayout LayoutDocument(const Document& document, LayoutHost& host, int viewportWidth)
{
    PageLayout out;
    layout_engine::Engine engine(host, out);
    engine.Run(document, viewportWidth);
    return out;
}

const LinkArea* LinkAt(const PageLayout& layout, int x, int y)
{
    for (auto it = layout.links.rbegin(); it != layout.links.rend(); ++it)
        if (it->rect.Contains(x, y)) return &*it;
    return nullptr;
}

Rgb BackdropOf(const PageLayout& layout, std::size_t item)
{
    if (item >= layout.items.size()) return layout.canvas;
    const Rect& r = layout.items[item].rect;
    const int cx = r.x + r.width / 2;
    const int cy = r.y + r.height / 2;
    for (std::size_t i = item; i-- > 0;) {
        const DisplayItem& fill = layout.items[i];
        if (fill.kind == ItemKind::Fill && fill.rect.Contains(cx, cy)) return fill.color;
    }
    return layout.canvas;
}

}  // namespace browser
