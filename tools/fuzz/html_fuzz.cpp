// libFuzzer target for the engine's pure code: whatever bytes arrive, decoding, parsing,
// serialising and the helpers must neither crash nor trip the sanitizers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "browser/html/Charset.h"
#include "browser/html/Css.h"
#include "browser/html/FormEncoding.h"
#include "browser/html/MetaRefresh.h"
#include "browser/html/Parser.h"
#include "browser/html/Serializer.h"
#include "browser/html/Url.h"
#include "browser/html/Utf8.h"

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
    (void)doc.Title();
    if (auto refresh = browser::FindMetaRefresh(doc))
        (void)browser::ResolveUrl("http://127.0.0.1/a/b?c#d", refresh->url);

    // The serialised form must parse again without trouble.
    const browser::Document again = browser::ParseHtml(inner);
    (void)browser::InnerHtmlLength(*again.documentElement());

    (void)browser::ResolveUrl("http://h/p/q", text);
    (void)browser::ParseColor(text, true);
    (void)browser::ParseDeclarations(text);
    (void)browser::ParseBoxShorthand(text);
    (void)browser::FormUrlEncode({{text, text}});
    return 0;
}
