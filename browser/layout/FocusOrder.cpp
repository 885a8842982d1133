#include "browser/layout/FocusOrder.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace browser {

namespace {

bool Skipped(const Node& e)
{
    if (e.HasAttr("disabled")) return true;
    const std::string* tabindex = e.FindAttribute("tabindex");
    return tabindex && !tabindex->empty() && std::atoi(tabindex->c_str()) < 0;
}

Rect Union(const Rect& a, const Rect& b)
{
    if (a.width <= 0 && a.height <= 0) return b;
    const int x = std::min(a.x, b.x);
    const int y = std::min(a.y, b.y);
    return {x, y, std::max(a.right(), b.right()) - x, std::max(a.bottom(), b.bottom()) - y};
}

}  // namespace

std::vector<FocusStop> FocusOrder(const Document& document, const PageLayout& layout)
{
    // What was laid out decides what can take the focus (nothing hidden, nothing off the page);
    // the document decides the order, since table cells and floats are laid out out of it.
    std::unordered_map<const Node*, bool> laidOut;
    for (const LinkArea& a : layout.links)
        if (a.element && a.rect.width > 0 && a.rect.height > 0) laidOut.emplace(a.element, true);
    for (const ControlBox& c : layout.controls)
        if (c.element) laidOut.emplace(c.element, false);

    std::vector<FocusStop> order;
    std::vector<const Node*> stack{&document.root()};
    while (!stack.empty() && !laidOut.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        for (auto it = n->children().rbegin(); it != n->children().rend(); ++it) stack.push_back(it->get());
        auto found = laidOut.find(n);
        if (found == laidOut.end()) continue;
        if (!Skipped(*n)) order.push_back({n, found->second});
        laidOut.erase(found);
    }
    return order;
}

const FocusStop* NextFocusStop(const std::vector<FocusStop>& order, const Node* current, bool forward)
{
    if (order.empty()) return nullptr;
    const auto at = std::find_if(order.begin(), order.end(), [&](const FocusStop& s) { return s.element == current; });
    if (at == order.end()) return forward ? &order.front() : &order.back();
    const std::size_t i = static_cast<std::size_t>(at - order.begin());
    const std::size_t n = order.size();
    return &order[forward ? (i + 1) % n : (i + n - 1) % n];
}

Rect FocusStopBounds(const PageLayout& layout, const Node* element)
{
    Rect bounds;
    for (const LinkArea& a : layout.links)
        if (a.element == element) bounds = Union(bounds, a.rect);
    for (const ControlBox& c : layout.controls)
        if (c.element == element) bounds = Union(bounds, c.rect);
    return bounds;
}

}  // namespace browser
