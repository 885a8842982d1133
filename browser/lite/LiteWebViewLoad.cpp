// Navigation in the built-in engine: the posted load step, the page's fetch on a worker, and
// showing what arrived, with the browser's events. Its images follow in LiteWebViewImages.cpp.

#include "browser/html/ErrorPage.h"
#include "browser/html/MetaRefresh.h"
#include "browser/html/Parser.h"
#include "browser/html/Url.h"
#include "browser/html/Utf8.h"
#include "browser/lite/LiteWebView.h"

#include <utility>
#include "browser/lite/TextConvert.h"

namespace browser {
namespace {

bool IsHttp(const std::string& scheme) { return scheme == "http" || scheme == "https"; }

LoadFailure FailureOf(const HttpResult& r)
{
    if (!r.connected)
        return r.error == ERROR_INTERNET_CANNOT_CONNECT ? LoadFailure::Refused
               : r.error == ERROR_INTERNET_INVALID_URL  ? LoadFailure::BadAddress
                                                        : LoadFailure::NoConnection;
    return LoadFailure::HttpError;
}

}  // namespace

void LiteWebView::Start(Request request, bool askFirst)
{
    if (askFirst) {
        // The host's rule first: a refused address leaves the page as it is, without an event.
        if (!Allows(request.url, NavigationKind::TopLevel)) return;
        bool cancel = false;
        if (!RaiseBeforeNavigate(request.url, true, cancel)) return;
        if (cancel) return;
    }
    AbandonLoad();
    ::KillTimer(hWnd(), kRefreshTimer);
    m_refreshTarget.reset();
    m_pending = std::move(request);
    ::PostMessageW(hWnd(), kLoadMessage, ++m_serial, 0);
    // The page's fetch is under way at once, while the caller and the loop go on; what it
    // brings is shown from the loop, after the load step (both are posted, in this order).
    StartFetch(m_serial);
}

void LiteWebView::StartFetch(unsigned serial)
{
    const std::string url = WideToUtf8(m_pending.url);
    if (!IsHttp(UrlScheme(url))) return;
    m_job = FetchJob::Start(m_http, {{Utf8ToWide(EscapeForRequest(url)), m_pending.post}}, hWnd(), kFetchedMessage,
                            serial);
    if (m_job) m_loading = std::move(m_pending);
}

void LiteWebView::AbandonLoad()
{
    if (m_job) m_job->Abandon();
    m_job.reset();
    StopImages();
}

void LiteWebView::Load(unsigned serial)
{
    if (serial != m_serial) return;  // a later navigation replaced this one
    if (m_job) return;                // its fetch started with the navigation
    Request request = std::move(m_pending);
    const std::string url = WideToUtf8(request.url);
    const std::string scheme = UrlScheme(url);
    if (EqualsIgnoreCase(TrimAsciiSpace(url), "about:blank")) {
        Arrive(request.url, "", Charset::Utf8);
        return;
    }
    if (!IsHttp(scheme)) {
        Arrive(request.url, ErrorPageHtml(url, scheme.empty() ? LoadFailure::BadAddress : LoadFailure::UnsupportedScheme),
               Charset::Utf8);
        return;
    }
    // An http page whose fetch could not start with the navigation.
    m_loading = std::move(request);
    Arrive(m_loading.url, ErrorPageHtml(url, LoadFailure::NoConnection), Charset::Utf8);
}

void LiteWebView::Fetched(unsigned serial)
{
    if (serial != m_serial || !m_job) return;  // from a load that was dropped
    std::vector<HttpResult> results = m_job->TakeResults();
    m_job.reset();
    if (!results.empty()) PageArrived(m_loading, std::move(results.front()));
}

void LiteWebView::PageArrived(const Request& request, HttpResult result)
{
    const std::string url = WideToUtf8(request.url);
    if (!result.connected || (result.status >= 400 && result.body.empty())) {
        Arrive(request.url, ErrorPageHtml(url, FailureOf(result), result.status), Charset::Utf8);
        return;
    }
    const Charset charset = SniffCharset(result.body, result.contentType);
    const std::string html = DecodeToUtf8(result.body, charset, GbkPair);
    if (!request.post) m_backList.Visit(WideToUtf8(result.finalUrl));
    Arrive(result.finalUrl, html, charset, request.reload);
}

void LiteWebView::Arrive(const std::wstring& url, const std::string& html, Charset charset, bool reload)
{
    ArrivedPage page;
    page.url = url;
    page.document = std::make_unique<Document>(ParsePageOrErrorPage(WideToUtf8(url), html, ParseHtml));
    page.charset = charset;
    // Every image gets a slot (empty until its bytes come); the http ones come from the images
    // fetched before, or else (and on a reload always) from a fetch.
    std::vector<const Node*> stack{&page.document->root()};
    const std::string base = WideToUtf8(url);
    while (!stack.empty() && page.images.size() < kMaxImagesPerPage) {
        const Node* n = stack.back();
        stack.pop_back();
        for (const auto& c : n->children()) stack.push_back(c.get());
        if (!n->IsElement("img") || !n->HasAttr("src")) continue;
        const std::string src = n->Attr("src");
        if (page.images.count(src)) continue;
        page.images[src] = std::make_unique<rt::StreamImage>();
        const std::string target = ResolveUrl(base, src);
        if (!IsHttp(UrlScheme(target))) continue;
        if (!reload) {
            if (const auto bytes = SharedImages().Find(target)) {
                page.images[src] = Admit(*bytes, page.imageCost);
                continue;
            }
        }
        page.fetches.push_back({src, target});
    }
    ShowDocument(std::move(page));
}

void LiteWebView::ShowDocument(ArrivedPage page)
{
    // A field holding the focus goes with the old page: the page itself keeps it, so Tab works on.
    const HWND focus = ::GetFocus();
    const bool hadFocus = focus && (focus == hWnd() || ::IsChild(hWnd(), focus));
    RetireControls();
    if (hadFocus) ::SetFocus(hWnd());
    m_focusLink = nullptr;
    m_focusVisible = false;
    m_layout = {};
    ReleaseImages();
    m_images = std::move(page.images);
    m_imageCost = page.imageCost;
    m_document = std::move(page.document);
    const Document* shown = m_document.get();
    m_charset = page.charset;
    m_url = page.url;
    m_scrollY = 0;
    m_pressedLink = nullptr;
    Relayout();
    // A page too large to lay out was replaced by the error page, which has no images.
    if (m_document.get() != shown) page.fetches.clear();
    DestroyFields(m_spareFields);  // those the new page had no use for
    // As browsers do, the first field marked `autofocus` takes the focus: now when the page has
    // it, else when the view gets it (a hidden page must not activate its window).
    m_autofocus = nullptr;
    for (const Field& f : m_fields)
        if (f.element->HasAttr("autofocus")) {
            m_autofocus = f.hwnd;
            break;
        }
    if (m_autofocus && hadFocus) ::SetFocus(std::exchange(m_autofocus, nullptr));
    ::InvalidateRect(hWnd(), nullptr, TRUE);
    // Under way before the events: a handler that navigates elsewhere drops them with the page.
    StartImages(std::move(page.fetches));

    const std::wstring url = m_url;
    const unsigned serial = m_serial;
    std::wstring title = Utf8ToWide(m_document->Title());
    if (!RaiseTitleChange(title.empty() ? url : title)) return;
    if (!RaiseDocumentComplete(url, true)) return;
    if (serial != m_serial) return;  // a handler navigated: this page's refresh is void

    if (!m_imageLoad && !RaiseDownloadComplete()) return;
    if (serial != m_serial) return;
    if (const auto refresh = FindMetaRefresh(*m_document)) {
        const std::string target = refresh->url.empty() ? WideToUtf8(m_url) : ResolveUrl(WideToUtf8(m_url), refresh->url);
        m_refreshTarget = Utf8ToWide(target);
        const double ms = std::min(refresh->delaySeconds * 1000.0, 86400000.0);
        ::SetTimer(hWnd(), kRefreshTimer, static_cast<UINT>(std::max(ms, 1.0)), nullptr);
    }
}

}  // namespace browser
