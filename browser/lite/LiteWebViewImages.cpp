// The images of the built-in engine's page: fetched in parallel on the workers, a few per host,
// decoded within the page's and the process's memory budgets, drawn as they come, and given up
// at the page's deadline.

#include <new>
#include <span>

#include "browser/html/Url.h"
#include "browser/lite/LiteWebView.h"
#include "browser/lite/TextConvert.h"

namespace browser {
namespace {

// Every view's decoded images together; only the views' thread uses it.
ImageBudget& ProcessImages()
{
    static ImageBudget budget(kProcessImageBudget);
    return budget;
}

// Several images that arrive close together are laid out once.
constexpr UINT kImageLayoutDelayMs = 50;

}  // namespace

ImageCache& LiteWebView::SharedImages()
{
    static ImageCache cache;
    return cache;
}

std::unique_ptr<rt::StreamImage> LiteWebView::Admit(const std::string& bytes, std::uint64_t& pageCost)
{
    // The header tells what decoding would hold before anything is decoded; what GDI+ could
    // decode but no header tells is left out with the rest.
    const auto size = SniffImageSize(bytes);
    if (!size) return std::make_unique<rt::StreamImage>();
    const std::uint64_t cost = DecodedImageCost(bytes.size(), *size);
    if (cost > kPageImageBudget - std::min(pageCost, kPageImageBudget) || !ProcessImages().Take(cost))
        return std::make_unique<rt::StreamImage>();
    try {
        auto image = std::make_unique<rt::StreamImage>(
            std::span<const std::byte>(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()));
        pageCost += cost;
        return image;
    } catch (const std::bad_alloc&) {
        ProcessImages().Give(cost);
        return std::make_unique<rt::StreamImage>();
    }
}

void LiteWebView::ReleaseImages()
{
    m_images.clear();
    ProcessImages().Give(m_imageCost);
    m_imageCost = 0;
}

void LiteWebView::StartImages(std::vector<PendingImage> fetches)
{
    StopImages();
    if (fetches.empty()) return;
    m_imageLoad.emplace();
    for (PendingImage& f : fetches) {
        m_imageLoad->queue.Add(HostKey(f.url));
        m_imageLoad->images.push_back(std::move(f));
    }
    ::SetTimer(hWnd(), kImageDeadlineTimer, static_cast<UINT>(kImageDeadline.count()), nullptr);
    // None could start (no thread): the page has its slots, and download-complete follows its
    // document-complete as with a page without images.
    if (StartImageFetches()) StopImages();
}

bool LiteWebView::StartImageFetches()
{
    for (std::size_t index : m_imageLoad->queue.StartNow()) {
        const unsigned id = ++m_nextImageJob;
        const std::string& url = m_imageLoad->images[index].url;
        auto job = FetchJob::Start(
            m_http, {{Utf8ToWide(EscapeForRequest(url)), std::nullopt, kMaxImageBytes, kImageFetchTimeLimit}}, hWnd(),
            kImageMessage, id);
        if (job)
            m_imageLoad->running.emplace(id, std::pair{index, std::move(job)});
        else
            m_imageLoad->queue.Finish(index);  // no thread: the slot stays empty
    }
    return m_imageLoad->queue.Done();
}

void LiteWebView::ImageFetched(unsigned id)
{
    if (!m_imageLoad) return;
    const auto it = m_imageLoad->running.find(id);
    if (it == m_imageLoad->running.end()) return;  // from a page that was left
    const auto [index, job] = std::move(it->second);
    m_imageLoad->running.erase(it);
    m_imageLoad->queue.Finish(index);
    std::vector<HttpResult> results = job->TakeResults();
    if (!results.empty()) {
        HttpResult& r = results.front();
        const PendingImage& image = m_imageLoad->images[index];
        if (r.connected && r.status < 400 && !r.body.empty() && !r.truncated) {
            auto bytes = std::make_shared<const std::string>(std::move(r.body));
            m_images[image.src] = Admit(*bytes, m_imageCost);
            SharedImages().Store(image.url, std::move(bytes));
            if (!m_imageLayoutDue) {
                m_imageLayoutDue = true;
                ::SetTimer(hWnd(), kImageLayoutTimer, kImageLayoutDelayMs, nullptr);
            }
        }
    }
    if (StartImageFetches()) FinishImages();
}

void LiteWebView::StopImages()
{
    if (m_imageLoad) {
        for (auto& [id, running] : m_imageLoad->running) running.second->Abandon();
        m_imageLoad.reset();
    }
    if (hWnd()) {
        ::KillTimer(hWnd(), kImageDeadlineTimer);
        ::KillTimer(hWnd(), kImageLayoutTimer);
    }
    m_imageLayoutDue = false;
}

void LiteWebView::FinishImages()
{
    const bool layout = m_imageLayoutDue;
    StopImages();
    if (layout) Relayout();
    RaiseDownloadComplete();  // the last thing this view does here
}

}  // namespace browser
