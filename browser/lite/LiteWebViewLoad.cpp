// Navigation in the built-in engine: the posted load step, the page and image fetches on a
// worker, and showing what arrived, with the browser's events.

#include <span>

#include "browser/html/ErrorPage.h"
#include "browser/html/ImageCache.h"
#include "browser/html/MetaRefresh.h"
#include "browser/html/Parser.h"
#include "browser/html/Url.h"
#include "browser/html/Utf8.h"
#include "browser/lite/LiteWebView.h"

#include <utility>
#include "browser/lite/TextConvert.h"

namespace browser {
namespace {

constexpr std::size_t kMaxImages = 64;
constexpr std::size_t kMaxImageBytes = 8u << 20;

// Shared by every view of the process; only the views' thread uses it.
ImageCache& SharedImages()
{
    static ImageCache cache;
    return cache;
}

std::unique_ptr<rt::StreamImage> Decode(const std::string& bytes)
{
    return std::make_unique<rt::StreamImage>(
        std::span<const std::byte>(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()));
}

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
        bool cancel = false;
        if (!RaiseBeforeNavigate(request.url, true, cancel)) return;
        if (cancel) return;
    }
    AbandonLoad();
    ::KillTimer(hWnd(), kRefreshTimer);
    m_refreshTarget.reset();
    m_pending = std::move(request);
    ::PostMessageW(hWnd(), kLoadMessage, ++m_serial, 0);
}

void LiteWebView::AbandonLoad()
{
    if (m_job) m_job->Abandon();
    m_job.reset();
    m_arrived.reset();
}

void LiteWebView::Load(unsigned serial)
{
    if (serial != m_serial) return;  // a later navigation replaced this one
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
    m_job = FetchJob::Start(m_http, {{Utf8ToWide(EscapeForRequest(url)), request.post}}, hWnd(),
                            kFetchedMessage, serial);
    m_loading = std::move(request);
    if (!m_job) Arrive(m_loading.url, ErrorPageHtml(url, LoadFailure::NoConnection), Charset::Utf8);
}

void LiteWebView::Fetched(unsigned serial)
{
    if (serial != m_serial || !m_job) return;  // from a load that was dropped
    std::vector<HttpResult> results = m_job->TakeResults();
    m_job.reset();
    if (!m_arrived) {
        if (!results.empty()) PageArrived(m_loading, std::move(results.front()));
        return;
    }
    // The images of the page that arrived: an image that did not come stays an empty slot.
    for (std::size_t i = 0; i < results.size() && i < m_arrived->imageSources.size(); ++i) {
        HttpResult& r = results[i];
        if (!r.connected || r.status >= 400 || r.body.empty()) continue;
        auto bytes = std::make_shared<const std::string>(std::move(r.body));
        m_arrived->images[m_arrived->imageSources[i]] = Decode(*bytes);
        SharedImages().Store(m_arrived->imageUrls[i], std::move(bytes));
    }
    ShowArrived();
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
    if (!request.post) {
        if (m_history.empty() || m_history.back() != result.finalUrl) m_history.push_back(result.finalUrl);
    }
    Arrive(result.finalUrl, html, charset, request.reload);
}

void LiteWebView::Arrive(const std::wstring& url, const std::string& html, Charset charset, bool reload)
{
    ArrivedPage page;
    page.url = url;
    page.document = std::make_unique<Document>(ParseHtml(html));
    page.charset = charset;
    // Every image gets a slot (empty until its bytes come); the http ones come from the images
    // fetched before, or else (and on a reload always) from a fetch.
    std::vector<FetchRequest> fetches;
    std::vector<const Node*> stack{&page.document->root()};
    const std::string base = WideToUtf8(url);
    while (!stack.empty() && page.images.size() < kMaxImages) {
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
                page.images[src] = Decode(*bytes);
                continue;
            }
        }
        page.imageSources.push_back(src);
        page.imageUrls.push_back(target);
        fetches.push_back({Utf8ToWide(EscapeForRequest(target)), std::nullopt, kMaxImageBytes});
    }
    m_arrived = std::move(page);
    if (!fetches.empty()) m_job = FetchJob::Start(m_http, std::move(fetches), hWnd(), kFetchedMessage, m_serial);
    if (!m_job) ShowArrived();
}

void LiteWebView::ShowArrived()
{
    ArrivedPage page = std::move(*m_arrived);
    m_arrived.reset();
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
    m_images = std::move(page.images);
    m_document = std::move(page.document);
    m_charset = page.charset;
    m_url = page.url;
    m_scrollY = 0;
    m_pressedLink = nullptr;
    Relayout();
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

    const std::wstring url = m_url;
    std::wstring title = Utf8ToWide(m_document->Title());
    if (!RaiseTitleChange(title.empty() ? url : title)) return;
    if (!RaiseDocumentComplete(url, true)) return;

    if (const auto refresh = FindMetaRefresh(*m_document)) {
        const std::string target = refresh->url.empty() ? WideToUtf8(m_url) : ResolveUrl(WideToUtf8(m_url), refresh->url);
        m_refreshTarget = Utf8ToWide(target);
        const double ms = std::min(refresh->delaySeconds * 1000.0, 86400000.0);
        ::SetTimer(hWnd(), kRefreshTimer, static_cast<UINT>(std::max(ms, 1.0)), nullptr);
    }
}

}  // namespace browser
