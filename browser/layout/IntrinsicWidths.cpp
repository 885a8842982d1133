// The narrowest and widest a content can be laid out, for table columns.

#include "browser/layout/LayoutEngine.h"
#include "browser/layout/LineBreaks.h"

namespace browser::layout_engine {

Intrinsic Engine::ContentIntrinsic(const Node& node, const ComputedStyle& style, int depth)
{
    if (auto it = m_intrinsic.find(&node); it != m_intrinsic.end()) return it->second;
    Accumulator acc;
    if (depth <= kMaxLayoutDepth) Accumulate(node, style, acc, depth);
    acc.EndLine();
    m_intrinsic[&node] = acc.result;
    return acc.result;
}

void Engine::Accumulate(const Node& node, const ComputedStyle& style, Accumulator& acc, int depth)
{
    if (depth > kMaxLayoutDepth) return;
    for (const auto& child : node.children()) {
        if (child->type() == NodeType::Text) {
            const int space = TextWidth(" ", style.font);
            Tokenize(
                child->text(), style.preformatted, acc.pendingSpace,
                [&](std::string_view word, bool spaceBefore) {
                    acc.pendingSpace = spaceBefore;
                    const int w = TextWidth(word, style.font);
                    acc.Atom(w, space);
                    if (style.noWrap) acc.result.min = std::max(acc.result.min, acc.line);
                },
                [&] { acc.EndLine(); });
            continue;
        }
        if (!child->IsElement()) continue;
        const Node& e = *child;
        const ComputedStyle cs = ComputeStyle(e, style);
        if (cs.display == Display::None) continue;
        if (e.IsElement("br")) {
            acc.EndLine();
            continue;
        }
        if (e.IsElement("img")) {
            acc.Atom(ImageBox(e, cs).width, 4);
            continue;
        }
        if (e.IsElement("input") || e.IsElement("textarea") || e.IsElement("button") || e.IsElement("select")) {
            if (auto m = ControlMetrics(e, cs)) acc.Atom(m->second.width, 4);
            continue;
        }
        if (cs.display == Display::Inline || cs.display == Display::TableRow || cs.display == Display::TableCell ||
            cs.display == Display::TableSection) {
            Accumulate(e, cs, acc, depth + 1);
            continue;
        }
        acc.EndLine();
        Intrinsic in;
        const int outer = cs.margin[1] + cs.margin[3];
        if (cs.display == Display::Table) {
            in = TableIntrinsic(e, cs, depth + 1);
            if (cs.width && cs.width->percent) in.max = std::max(in.max, in.min);
        } else {
            in = ContentIntrinsic(e, cs, depth + 1);
            const int pad = cs.padding[1] + cs.padding[3];
            in.min = Coord(static_cast<long long>(in.min) + pad);
            in.max = Coord(static_cast<long long>(in.max) + pad);
            if (cs.width && !cs.width->percent) in.min = in.max = std::max(in.min, Px(cs.width->value));
        }
        acc.result.min = std::max(acc.result.min, Coord(static_cast<long long>(in.min) + outer));
        acc.result.max = std::max(acc.result.max, Coord(static_cast<long long>(in.max) + outer));
    }
}

}  // namespace browser::layout_engine
