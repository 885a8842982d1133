#pragma once
// The built-in engine: WinINet loading, the pure parser and layout, GDI painting, edit and
// button controls for forms, vertical scrolling, meta refresh and its own small context menu.
// Loading runs on the GUI thread in a posted step after before-navigation, so Navigate returns
// first, as the system control does.

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/WebView.h"
#include "browser/html/Charset.h"
#include "browser/html/Dom.h"
#include "browser/layout/Layout.h"
#include "browser/lite/GdiLayoutHost.h"
#include "browser/lite/HttpLoader.h"
#include "runtime/GdiPlus.h"
#include "runtime/Window.h"

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
    // Tab and Shift+Tab through the page's links and controls, Enter on a link or a submit
    // button, Ctrl+A in a field.
    bool PreTranslate(MSG& msg) override;

    // The visible text of the current document (for people and tests looking at a page).
    std::wstring DocumentText() const;

private:
    struct Field {
        HWND hwnd = nullptr;
        const Node* element = nullptr;
        ControlKind kind = ControlKind::TextInput;
        std::shared_ptr<const rt::Font> font;  // the window's font, kept while the window is
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

    void Start(Request request, bool askFirst);
    void Load(unsigned serial);
    void ShowDocument(const std::wstring& url, const std::string& html, Charset charset);
    void LoadImages();
    void Relayout();
    void UpdateScrollBar();
    void ScrollTo(int y);
    void SyncControls();
    void DestroyControls();
    void Paint(HDC dc, const RECT& client);
    void Submit(const Node* submitter);
    const Field* FieldOf(HWND hwnd) const;
    const Node* FocusedElement() const;
    void MoveFocus(bool forward);
    void ScrollIntoView(const Rect& box);
    void FollowLink(const std::string& href);
    void ShowContextMenu(POINT screen);
    bool Scrollable() const;

    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    rt::GdiplusSession m_gdiplus;
    HttpLoader m_http;
    GdiLayoutHost m_host;
    std::unique_ptr<Document> m_document;
    Charset m_charset = Charset::Utf8;
    std::wstring m_url;
    std::vector<std::wstring> m_history;
    std::map<std::string, std::unique_ptr<rt::StreamImage>> m_images;  // by src as written
    PageLayout m_layout;
    std::vector<Field> m_fields;
    rt::Font m_fallbackFont;
    int m_scrollY = 0;
    bool m_scrollBarShown = false;
    unsigned m_serial = 0;
    Request m_pending;
    std::optional<std::wstring> m_refreshTarget;
    const LinkArea* m_pressedLink = nullptr;
    const Node* m_focusLink = nullptr;  // the link holding the focus while the view itself has it
    bool m_focusVisible = false;  // drawn after keyboard moves, not after clicks (as browsers do)
};

}  // namespace browser
