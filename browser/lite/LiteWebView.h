#pragma once
// The built-in engine: WinINet loading, the pure parser and layout, GDI painting, edit and
// button controls for forms, vertical scrolling, meta refresh and its own small context menu.
// A load starts in a posted step after before-navigation, so Navigate returns first, as the
// system control does; the page and its images are fetched on workers (FetchJob), and parsing,
// layout, painting and every event happen back on the view's thread. A newer navigation, a
// refresh or the view's end drops the load under way: its results are never looked at.
//
// A page shows as soon as it has arrived, with empty slots for its images (sized from their
// width and height when the page gives them); the images are fetched in parallel, a few per
// host (PageLimits), and each is drawn when it comes; what has not come by the page's image
// deadline stays empty. Document-complete fires when the page shows, before its images: the
// client takes it as "the page is usable" (the login pair shows, the page is measured, the game
// page loses its scroll bars), and none of that needs an image, while waiting for them would let
// any image server hold the login up. Download-complete follows once the images are done.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/WebView.h"
#include "browser/html/BackList.h"
#include "browser/html/Charset.h"
#include "browser/html/Dom.h"
#include "browser/html/ImageCache.h"
#include "browser/html/PageLimits.h"
#include "browser/layout/Layout.h"
#include "browser/layout/ReaderLinks.h"
#include "browser/lite/GdiLayoutHost.h"
#include "browser/lite/FetchJob.h"
#include "browser/lite/HttpLoader.h"
#include "runtime/AccessibleHost.h"
#include "runtime/GdiPlus.h"
#include "runtime/Window.h"
#include "subclass/CSubclass.h"

struct IAccessible;

namespace browser {

class LiteWebView final : public WebView, private rt::Window {
public:
    static WebViewPtr Create(HWND parent, const RECT& rect);

    WebViewEngine Engine() const override { return WebViewEngine::Lite; }
    HWND hWnd() const override { return rt::Window::hWnd(); }
    void Move(int x, int y, int width, int height) override;
    void Navigate(const std::wstring& url) override;
    void Refresh() override;
    std::wstring DocumentUrl() const override;
    long RootInnerHtmlLength() const override;
    bool SetRootOverflow(const std::wstring& value) override;
    // Tab and Shift+Tab through the page's links and controls, Enter on a link, a submit button
    // or in a text field, Ctrl+A in a field.
    bool PreTranslate(MSG& msg) override;

    // The visible text of the current document (for people and tests looking at a page).
    std::wstring DocumentText() const;

private:
    class FieldReader;
    struct Field {
        HWND hwnd = nullptr;
        const Node* element = nullptr;
        ControlKind kind = ControlKind::TextInput;
        std::shared_ptr<const rt::Font> font;  // the window's font, kept while the window is
        std::unique_ptr<FieldReader> reader;   // text fields: what screen readers hear of it
    };
    struct Request {
        std::wstring url;
        std::optional<std::string> post;
        bool reload = false;
    };

    LiteWebView();
    ~LiteWebView() override;

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Quiesce() override;

    using ImageMap = std::map<std::string, std::unique_ptr<rt::StreamImage>>;  // by src as written
    struct PendingImage {
        std::string src;
        std::string url;
    };
    // A page that has arrived, with the images it already has and those still to fetch.
    struct ArrivedPage {
        std::wstring url;
        std::unique_ptr<Document> document;
        Charset charset = Charset::Utf8;
        ImageMap images;
        std::uint64_t imageCost = 0;
        std::vector<PendingImage> fetches;
    };
    // The shown page's images still to come: the fetches by queue index, the jobs under way by id.
    struct ImageLoad {
        ImageFetchQueue queue;
        std::vector<PendingImage> images;
        std::map<unsigned, std::pair<std::size_t, std::shared_ptr<FetchJob>>> running;
    };
    static constexpr UINT kLoadMessage = WM_APP + 0x31;
    static constexpr UINT kFetchedMessage = WM_APP + 0x32;
    static constexpr UINT kImageMessage = WM_APP + 0x33;
    static constexpr UINT_PTR kRefreshTimer = 1;
    static constexpr UINT_PTR kImageDeadlineTimer = 2;
    static constexpr UINT_PTR kImageLayoutTimer = 3;

    void Start(Request request, bool askFirst);
    void Load(unsigned serial);
    void StartFetch(unsigned serial);
    void Fetched(unsigned serial);
    void PageArrived(const Request& request, HttpResult result);
    void Arrive(const std::wstring& url, const std::string& html, Charset charset, bool reload = false);
    void AbandonLoad();
    void ShowDocument(ArrivedPage page);
    // Images (LiteWebViewImages.cpp).
    // The bytes of images fetched before, shared by every view of the process (their thread's).
    static ImageCache& SharedImages();
    // Decodes an image when the page's and the process's budgets allow; an empty slot otherwise.
    static std::unique_ptr<rt::StreamImage> Admit(const std::string& bytes, std::uint64_t& pageCost);
    void ReleaseImages();
    void StartImages(std::vector<PendingImage> fetches);
    // Starts what the queue allows; true when nothing is left to wait for.
    bool StartImageFetches();
    void ImageFetched(unsigned id);
    void StopImages();
    // Ends the page's image load (all done or given up): the last layout, then the event.
    void FinishImages();
    void Relayout();
    // Lays the document out for `width` pixels (see Relayout).
    void LayOut(int width);
    void UpdateScrollBar();
    void ScrollTo(int y);
    void SyncControls();
    HWND CreateControl(const ControlBox& box, int id, const std::wstring& text, const RECT& rect);
    void PlaceControl(HWND hwnd, const RECT& rect);  // in the view's client coordinates
    void ResetControl(HWND hwnd, const ControlBox& box, int id, const std::wstring& text);
    // The page's controls become spares for the next page's, which takes over those it can.
    void RetireControls();
    static void DestroyFields(std::vector<Field>& fields);
    void DestroyControls();
    void Paint(HDC dc, const RECT& client);
    // The colour key of the layered window the view lies in, if it has one.
    std::optional<Rgb> TransparencyKey() const;
    // The controls past kMaxLiveControls: their look without a window, greyed, taking no input.
    void PaintInertControls(HDC dc, const RECT& client);
    void Submit(const Node* submitter);
    const Field* FieldOf(HWND hwnd) const;
    const Node* FocusedElement() const;
    void MoveFocus(bool forward);
    void ScrollIntoView(const Rect& box);
    // `anchor`: the a element, whose target may ask for a new window.
    void FollowLink(const std::string& href, const Node* anchor);
    void ShowContextMenu(POINT screen);
    bool Scrollable() const;

    rt::GdiplusSession m_gdiplus;
    std::shared_ptr<HttpLoader> m_http = std::make_shared<HttpLoader>();  // shared with the workers
    GdiLayoutHost m_host;
    std::unique_ptr<Document> m_document;
    Charset m_charset = Charset::Utf8;
    std::wstring m_url;
    BackList m_backList;
    ImageMap m_images;
    PageLayout m_layout;
    std::vector<Field> m_fields;
    std::vector<Field> m_spareFields;  // only between a new page's arrival and its layout
    rt::Font m_fallbackFont;
    int m_scrollY = 0;
    int m_dpi = 96;  // of the last layout: the page's CSS pixels are s device pixels
    bool m_scrollBarShown = false;
    unsigned m_serial = 0;
    Request m_pending;
    // The load under way: its job, the request it fetches, and the page waiting for images.
    std::shared_ptr<FetchJob> m_job;
    Request m_loading;
    std::optional<ImageLoad> m_imageLoad;
    unsigned m_nextImageJob = 0;
    std::uint64_t m_imageCost = 0;  // taken from the process's budget by m_images
    bool m_imageLayoutDue = false;
    std::optional<std::wstring> m_refreshTarget;
    const LinkArea* m_pressedLink = nullptr;
    const Node* m_focusLink = nullptr;  // the link holding the focus while the view itself has it
    // The page's first field marked `autofocus`, waiting for the view to get the focus.
    HWND m_autofocus = nullptr;
    bool m_focusVisible = false;  // drawn after keyboard moves, not after clicks (as browsers do)

    // What screen readers see of the page: its links (LiteWebViewAccess.cpp).
    class ReaderView final : public rt::acc::Source {
    public:
        explicit ReaderView(LiteWebView& view) : m_view(view) {}
        long ChildCount() const override;
        rt::acc::Item Describe(long child) const override;
        long ChildAt(int x, int y) const override;
        long FocusedChild() const override;
        void DoDefaultAction(long child) override;

    private:
        const std::vector<ReaderLink>& Links() const { return m_links.Of(m_view.m_layout); }

        LiteWebView& m_view;
        mutable ReaderLinkList m_links;
    };
    ReaderView m_readerView{*this};
    rt::AccessibleHost m_access{m_readerView};

    // A text field as screen readers see it: the edit control's own description from the
    // system, named after the page's label for it (LiteWebViewAccess.cpp). One per field window,
    // reached from the window's messages through m_fieldSubclass.
    class FieldReader final : public rt::acc::Source {
    public:
        FieldReader(LiteWebView& view, HWND hwnd) : m_view(view), m_hwnd(hwnd) {}
        ~FieldReader();
        FieldReader(const FieldReader&) = delete;
        FieldReader& operator=(const FieldReader&) = delete;
        rt::acc::Item Describe(long child) const override;
        bool HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
        // m_fieldSubclass's handler: each field's messages to its reader.
        static void Route(bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg, WPARAM wParam,
                          LPARAM lParam, LONG_PTR& reader);

    private:
        void ReleaseProxy() const;

        LiteWebView& m_view;
        HWND m_hwnd;
        mutable IAccessible* m_proxy = nullptr;  // the system's object for the edit control
        rt::AccessibleHost m_access{*this};
    };
    // Gives a new text field window its reader.
    std::unique_ptr<FieldReader> AttachReader(HWND hwnd);
    corvane::CSubclass m_fieldSubclass{&FieldReader::Route};
};

}  // namespace browser
