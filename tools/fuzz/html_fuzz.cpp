// libFuzzer target for the engine's pure code: whatever bytes arrive, decoding, parsing,
// serialising, the helpers and the layout must neither crash nor trip the sanitizers, the
// document stays within the page's bounds and the layout within its coordinate limits.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "browser/html/Charset.h"
#include "browser/html/Css.h"
#include "browser/html/FormEncoding.h"
#include "browser/html/MetaRefresh.h"
#include "browser/html/PageLimits.h"
#include "browser/html/Parser.h"
#include "browser/html/Serializer.h"
#include "browser/html/Url.h"
#include "browser/html/Utf8.h"
#include "browser/layout/Layout.h"

namespace {

// Measures from the input's own bytes, so that the fuzzer also steers the sizes: huge and odd
// values included, as a real font or image could report them.
class FuzzHost : public browser::LayoutHost {
public:
    explicit FuzzHost(std::string_view seed) : m_seed(seed) {}
    int TextWidth(std::string_view utf8, const browser::FontDesc& font) override
    {
        return static_cast<int>(utf8.size()) * (font.sizePx / 2 + Pick(3));
    }
    int Ascent(const browser::FontDesc& font) override { return font.sizePx * 8 / 10; }
    int Descent(const browser::FontDesc& font) override { return font.sizePx / 5; }
    std::optional<browser::Size> ImageSize(const std::string& src) override
    {
        if (src.empty()) return std::nullopt;
        const int w = static_cast<int>(static_cast<unsigned char>(src[0])) << Pick(16);
        return browser::Size{w, static_cast<int>(src.size()) << Pick(16)};
    }

private:
    int Pick(int range)
    {
        if (m_seed.empty()) return 0;
        return static_cast<unsigned char>(m_seed[m_next++ % m_seed.size()]) % range;
    }
    std::string_view m_seed;
    std::size_t m_next = 0;
};

// The page's bounds hold: no element keeps more than its share of attributes or a name twice, and
// the document no more nodes than a page may have.
std::size_t CheckBounds(const browser::Node& node)
{
    const auto& attributes = node.attributes();
    if (attributes.size() > browser::kMaxAttributesPerElement) __builtin_trap();
    std::set<std::string_view> names;
    for (const auto& a : attributes)
        if (!names.insert(a.name).second) __builtin_trap();
    std::size_t count = 1;
    for (const auto& child : node.children()) count += CheckBounds(*child);
    return count;
}

bool Within(const browser::Rect& r)
{
    const int limit = browser::kMaxPageCoordinate;
    return r.x >= -limit && r.x <= limit && r.y >= -limit && r.y <= limit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A made-up GBK table: any pair maps somewhere, including to invalid code points.
    const browser::GbkLookup gbk = [](unsigned char lead, unsigned char trail) -> char32_t {
        return (static_cast<char32_t>(lead) << 8 | trail) * 37;
    };
    const browser::Charset charset = browser::SniffCharset(bytes, size > 0 && data[0] & 1 ? "text/html; charset=gbk" : "");
    const std::string text = browser::DecodeToUtf8(bytes, charset, gbk);
    if (browser::SanitizeUtf8(text) != text) __builtin_trap();

    const browser::Document doc = browser::ParseHtml(text);
    if (!doc.documentElement() || !doc.head() || !doc.body()) __builtin_trap();
    const std::string inner = browser::InnerHtml(*doc.documentElement());
    if (browser::InnerHtmlLength(*doc.documentElement()) != browser::Utf16Length(inner)) __builtin_trap();
    // The document, html, head and body come on top of what the page made.
    if (CheckBounds(doc.root()) > browser::kMaxNodesPerPage + 4) __builtin_trap();
    (void)doc.Title();
    if (auto refresh = browser::FindMetaRefresh(doc))
        (void)browser::ResolveUrl("http://127.0.0.1/a/b?c#d", refresh->url);

    // The serialised form must parse again without trouble.
    const browser::Document again = browser::ParseHtml(inner);
    (void)browser::InnerHtmlLength(*again.documentElement());

    FuzzHost host(bytes);
    const int viewport = size > 1 ? (static_cast<int>(data[1]) << 4) - 64 : 800;
    const browser::PageLayout layout = browser::LayoutDocument(doc, host, viewport);
    if (layout.height < 0 || layout.height > browser::kMaxPageCoordinate) __builtin_trap();
    for (const auto& item : layout.items)
        if (!Within(item.rect)) __builtin_trap();
    for (const auto& control : layout.controls)
        if (!Within(control.rect)) __builtin_trap();
    (void)browser::LinkAt(layout, viewport / 2, layout.height / 2);
    // The areas of one link share its address: each comes from its a element once.
    for (const auto& link : layout.links)
        if (!link.href || !link.element || link.element->Attr("href") != *link.href) __builtin_trap();

    (void)browser::ResolveUrl("http://h/p/q", text);
    (void)browser::ParseColor(text, true);
    (void)browser::ParseDeclarations(text);
    (void)browser::ParseBoxShorthand(text);
    (void)browser::FormUrlEncode({{text, text}});
    return 0;
}
