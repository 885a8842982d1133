// Form controls as boxes on a line: their sizes from attributes and the font.

#include "browser/layout/LayoutEngine.h"

namespace browser::layout_engine {

std::optional<std::pair<ControlKind, Size>> Engine::ControlMetrics(const Node& e, const ComputedStyle& cs)
{
    const std::string type = AsciiLowercase(e.Attr("type"));
    const int line = Ascent(cs.font) + Descent(cs.font);
    const int digit = std::max(1, TextWidth("0", cs.font));
    if (e.IsElement("textarea")) {
        const int cols = IntAttr(e, "cols", 20, 1, 500), rows = IntAttr(e, "rows", 2, 1, 200);
        return std::pair{ControlKind::TextArea, Size{Coord(static_cast<long long>(cols) * digit + 8), Coord(static_cast<long long>(rows) * line + 8)}};
    }
    if (e.IsElement("input") && (type.empty() || type == "text" || type == "password" || type == "email" ||
                                 type == "search" || type == "tel" || type == "url" || type == "number")) {
        const int chars = IntAttr(e, "size", 20, 1, 500);
        Size size{Coord(static_cast<long long>(chars) * digit + 8), line + 8};
        if (cs.width && !cs.width->percent) size.width = Px(cs.width->value);
        return std::pair{type == "password" ? ControlKind::Password : ControlKind::TextInput, size};
    }
    if ((e.IsElement("input") && (type == "submit" || type == "button" || type == "reset" || type == "image")) ||
        e.IsElement("button")) {
        std::string label = e.IsElement("button") ? e.TextContent() : e.Attr("value");
        if (label.empty() && !e.HasAttr("value")) label = type == "reset" ? "Reset" : "Submit";
        const Size size{TextWidth(label, cs.font) + 20, line + 10};
        const bool submit = e.IsElement("button") ? type.empty() || type == "submit" : type != "button" && type != "reset";
        return std::pair{submit ? ControlKind::Submit : ControlKind::Button, size};
    }
    return std::nullopt;
}

void Engine::Control(const Node& e, const ComputedStyle& cs, LineContext& lc)
{
    const auto metrics = ControlMetrics(e, cs);
    if (!metrics) return;
    const auto [kind, size] = *metrics;
    MakeRoom(lc, size.width, cs.noWrap);
    Piece p;
    p.control = m_out.controls.size();
    p.ascent = size.height - 4;
    p.descent = 4;
    m_out.controls.push_back({kind, {lc.x, 0, size.width, size.height}, &e, cs.font});
    lc.pieces.push_back(p);
    lc.maxAscent = std::max(lc.maxAscent, p.ascent);
    lc.maxDescent = std::max(lc.maxDescent, p.descent);
    lc.x = Coord(static_cast<long long>(lc.x) + size.width);
}

}  // namespace browser::layout_engine
