#include "browser/lite/LiteWebView.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <new>
#include <utility>

#include "browser/html/ErrorPage.h"
#include "browser/html/FormEncoding.h"
#include "browser/html/Parser.h"
#include "browser/html/Serializer.h"
#include "browser/html/Url.h"
#include "browser/html/Utf8.h"
#include "browser/layout/FocusOrder.h"
#include "browser/layout/LayoutScale.h"
#include "browser/lite/TextConvert.h"
#include "runtime/DpiScale.h"
#include "runtime/Form.h"
#include "runtime/MouseEvents.h"
#include "runtime/Screen.h"

namespace browser {
namespace {

constexpr int kFirstControlId = 1000;
constexpr UINT kMenuBack = 1, kMenuRefresh = 2;
constexpr int kWheelStep = 48;  // CSS pixels, as the line step
constexpr int kLineStep = 20;
constexpr int kShift = 1, kCtrl = 2, kAlt = 4;  // as rt::ShiftState reports them

COLORREF ToColorRef(Rgb rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::wstring WindowText(HWND hwnd)
{
    const int n = ::GetWindowTextLengthW(hwnd);
    std::wstring text(n + 1, L'\0');
    text.resize(::GetWindowTextW(hwnd, text.data(), n + 1));
    return text;
}

// A link or form whose target names a window of its own (target=_blank): a new window to a
// browser, which this engine opens in place.
bool TargetsNewWindow(const Node* element)
{
    if (!element) return false;
    const std::string target = AsciiLowercase(TrimAsciiSpace(element->Attr("target")));
    return !target.empty() && target != "_self" && target != "_top" && target != "_parent";
}

const Node* FormOf(const Node* element)
{
    for (const Node* n = element; n; n = n->parent())
        if (n->IsElement("form")) return n;
    return nullptr;
}

}  // namespace

WebViewPtr LiteWebView::Create(HWND parent, const RECT& rect)
{
    auto* view = new LiteWebView();
    rt::WindowParams params;
    params.className = L"CorvaneLiteWebView";
    params.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL;
    params.x = rect.left;
    params.y = rect.top;
    params.width = rect.right - rect.left;
    params.height = rect.bottom - rect.top;
    params.parent = parent;
    params.classStyle = CS_DBLCLKS;
    WebViewPtr owner(view);
    if (!view->CreateHandle(params)) return nullptr;
    ::ShowScrollBar(view->hWnd(), SB_VERT, FALSE);
    return owner;
}

LiteWebView::LiteWebView()
    : m_host([this](const std::string& src) -> std::optional<Size> {
          auto it = m_images.find(src);
          if (it == m_images.end() || !*it->second) return std::nullopt;
          return Size{static_cast<int>(it->second->Width()), static_cast<int>(it->second->Height())};
      })
{
}

LiteWebView::~LiteWebView()
{
    AbandonLoad();
    if (hWnd()) ::KillTimer(hWnd(), kRefreshTimer);
    DestroyControls();
    // The images go before the GDI+ session that decoded them (member order does the rest).
    ReleaseImages();
}

void LiteWebView::Quiesce()
{
    ++m_serial;  // a load already posted finds itself outdated
    AbandonLoad();
    if (hWnd()) {
        ::KillTimer(hWnd(), kRefreshTimer);
        ::ShowWindow(hWnd(), SW_HIDE);
    }
}

void LiteWebView::Move(int x, int y, int width, int height)
{
    ::MoveWindow(hWnd(), x, y, std::max(0, width), std::max(0, height), TRUE);
}

void LiteWebView::Navigate(const std::wstring& url) { Start({url, std::nullopt, false}, true); }

void LiteWebView::Refresh()
{
    if (m_url.empty()) return;
    Start({m_url, std::nullopt, true}, false);
}

std::wstring LiteWebView::DocumentUrl() const { return m_document ? m_url : std::wstring{}; }

long LiteWebView::RootInnerHtmlLength() const
{
    if (!m_document || !m_document->documentElement()) return -1;
    return static_cast<long>(InnerHtmlLength(*m_document->documentElement()));
}

bool LiteWebView::SetRootOverflow(const std::wstring& value)
{
    if (!m_document || !m_document->documentElement()) return false;
    Node* root = m_document->documentElement();
    std::string style;
    for (const auto& [name, v] : ParseDeclarations(root->Attr("style")))
        if (name != "overflow") style += name + ": " + v + "; ";
    style += "overflow: " + WideToUtf8(value) + ";";
    root->SetAttribute("style", style);
    Relayout();
    return true;
}

std::wstring LiteWebView::DocumentText() const
{
    return m_document && m_document->body() ? Utf8ToWide(m_document->body()->TextContent()) : std::wstring{};
}

// --- Links and forms ---------------------------------------------------------------------------

void LiteWebView::FollowLink(const std::string& href, const Node* anchor)
{
    const std::string trimmed(TrimAsciiSpace(href));
    if (trimmed.empty() || trimmed.front() == '#' || UrlScheme(trimmed) == "javascript") return;
    const std::wstring url = Utf8ToWide(ResolveUrl(WideToUtf8(m_url), trimmed));
    if (TargetsNewWindow(anchor) && !Allows(url, NavigationKind::NewWindow)) return;
    Navigate(url);
}

void LiteWebView::Submit(const Node* submitter)
{
    const Node* form = FormOf(submitter);
    if (!form) return;
    std::vector<FormField> fields;
    const auto bytes = [&](const std::string& utf8) { return m_charset == Charset::Gbk ? Utf8ToGbk(utf8) : utf8; };
    const auto fieldText = [&](const Node* e) -> std::optional<std::string> {
        for (const auto& f : m_fields) {
            if (f.element == e) return WideToUtf8(WindowText(f.hwnd));
        }
        return std::nullopt;
    };
    std::vector<const Node*> stack{form};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        for (auto it = n->children().rbegin(); it != n->children().rend(); ++it) stack.push_back(it->get());
        if (!n->IsElement() || !n->HasAttr("name") || n->HasAttr("disabled")) continue;
        const std::string name = n->Attr("name");
        const std::string type = AsciiLowercase(n->Attr("type"));
        if (n->IsElement("input")) {
            if (type == "submit" || type == "image" || type == "button" || type == "reset") {
                if (n == submitter && type != "button" && type != "reset") fields.emplace_back(bytes(name), bytes(n->Attr("value")));
            } else if (type == "checkbox" || type == "radio") {
                if (n->HasAttr("checked")) fields.emplace_back(bytes(name), bytes(n->HasAttr("value") ? n->Attr("value") : "on"));
            } else if (type != "file") {
                fields.emplace_back(bytes(name), bytes(fieldText(n).value_or(n->Attr("value"))));
            }
        } else if (n->IsElement("textarea")) {
            fields.emplace_back(bytes(name), bytes(fieldText(n).value_or(n->TextContent())));
        } else if (n->IsElement("select")) {
            const Node* chosen = nullptr;
            std::vector<const Node*> options{n};
            while (!options.empty()) {
                const Node* o = options.back();
                options.pop_back();
                for (auto it = o->children().rbegin(); it != o->children().rend(); ++it) options.push_back(it->get());
                if (o->IsElement("option") && (!chosen || o->HasAttr("selected"))) {
                    if (!chosen || !chosen->HasAttr("selected")) chosen = o;
                }
            }
            if (chosen) fields.emplace_back(bytes(name), bytes(chosen->HasAttr("value") ? chosen->Attr("value") : chosen->TextContent()));
        } else if (n->IsElement("button") && n == submitter) {
            fields.emplace_back(bytes(name), bytes(n->Attr("value")));
        }
    }
    const std::string encoded = FormUrlEncode(fields);
    const std::string base = WideToUtf8(m_url);
    const std::string action = ResolveUrl(base, form->HasAttr("action") ? form->Attr("action") : "");
    const bool post = EqualsIgnoreCase(TrimAsciiSpace(form->Attr("method")), "post");
    Request request{Utf8ToWide(post ? action : FormGetUrl(action, encoded)), std::nullopt, false};
    if (post) request.post = encoded;
    if (TargetsNewWindow(form) && !Allows(request.url, NavigationKind::NewWindow)) return;
    Start(std::move(request), true);
}

// --- Layout, controls, scrolling -----------------------------------------------------------------

bool LiteWebView::Scrollable() const { return m_layout.scrollable; }

void LiteWebView::Relayout()
{
    if (!m_document || !hWnd()) return;
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    LayOut(client.right);
    UpdateScrollBar();
    SyncControls();
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void LiteWebView::LayOut(int width)
{
    m_dpi = rt::Screen::DpiFor(hWnd());
    try {
        m_layout = LayoutDocumentAt(*m_document, m_host, width, m_dpi);
        return;
    } catch (const std::bad_alloc&) {
    }
    // No memory for this page's layout: the error page takes its place, as if it had failed to
    // arrive. Nothing may point into the page that goes.
    m_layout = {};
    StopImages();
    ReleaseImages();
    m_pressedLink = nullptr;
    m_focusLink = nullptr;
    m_autofocus = nullptr;
    m_document = std::make_unique<Document>(ParseHtml(ErrorPageHtml(WideToUtf8(m_url), LoadFailure::TooLarge)));
    m_layout = LayoutDocumentAt(*m_document, m_host, width, m_dpi);
}

void LiteWebView::UpdateScrollBar()
{
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    const bool show = Scrollable() && m_layout.height > client.bottom;
    if (show != m_scrollBarShown) {
        m_scrollBarShown = show;
        ::ShowScrollBar(hWnd(), SB_VERT, show);
        ::GetClientRect(hWnd(), &client);
        LayOut(client.right);  // the width changed
    }
    const int maxScroll = show ? std::max(0, m_layout.height - static_cast<int>(client.bottom)) : 0;
    m_scrollY = std::clamp(m_scrollY, 0, maxScroll);
    if (show) {
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS};
        si.nMin = 0;
        si.nMax = m_layout.height - 1;
        si.nPage = client.bottom;
        si.nPos = m_scrollY;
        ::SetScrollInfo(hWnd(), SB_VERT, &si, TRUE);
    }
}

void LiteWebView::ScrollTo(int y)
{
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    const int maxScroll = m_scrollBarShown ? std::max(0, m_layout.height - static_cast<int>(client.bottom)) : 0;
    y = std::clamp(y, 0, maxScroll);
    if (y == m_scrollY) return;
    m_scrollY = y;
    ::SetScrollPos(hWnd(), SB_VERT, y, TRUE);
    SyncControls();
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

namespace {

bool IsButton(ControlKind kind) { return kind == ControlKind::Submit || kind == ControlKind::Button; }

// What a new control of `box` shows at first.
std::wstring InitialText(const ControlBox& box)
{
    if (IsButton(box.kind)) {
        std::wstring text = Utf8ToWide(box.element->IsElement("button") ? box.element->TextContent() : box.element->Attr("value"));
        if (text.empty() && !box.element->HasAttr("value")) text = L"提交";
        return text;
    }
    return Utf8ToWide(box.kind == ControlKind::TextArea ? box.element->TextContent() : box.element->Attr("value"));
}

}  // namespace

HWND LiteWebView::CreateControl(const ControlBox& box, int id, const std::wstring& text, const RECT& rect)
{
    const bool button = IsButton(box.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (button) {
        style |= BS_PUSHBUTTON;
    } else if (box.kind == ControlKind::TextArea) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    } else {
        style |= ES_AUTOHSCROLL | (box.kind == ControlKind::Password ? ES_PASSWORD : 0);
    }
    // Made where it stands: a move afterwards would size and paint it a second time.
    return ::CreateWindowExW(button ? 0 : WS_EX_CLIENTEDGE, button ? L"BUTTON" : L"EDIT", text.c_str(), style, rect.left,
                             rect.top, rect.right - rect.left, rect.bottom - rect.top, hWnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), rt::CurrentInstance(), nullptr);
}

void LiteWebView::ResetControl(HWND hwnd, const ControlBox& box, int id, const std::wstring& text)
{
    // Everything the old page may have left in the window goes: what was typed (WM_SETTEXT also
    // clears an edit's modified flag and selection), the undo step, a pressed look. A button
    // keeps a caption that is already right: setting it redraws it.
    if (::GetWindowLongPtrW(hwnd, GWLP_ID) != id) ::SetWindowLongPtrW(hwnd, GWLP_ID, id);
    if (IsButton(box.kind)) {
        if (WindowText(hwnd) != text) ::SetWindowTextW(hwnd, text.c_str());
        ::SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
    } else {
        ::SetWindowTextW(hwnd, text.c_str());
        ::SendMessageW(hwnd, EM_EMPTYUNDOBUFFER, 0, 0);
        ::SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // back to the default
    }
}

void LiteWebView::PlaceControl(HWND hwnd, const RECT& rect)
{
    RECT now{};
    ::GetWindowRect(hwnd, &now);
    ::MapWindowPoints(HWND_DESKTOP, hWnd(), reinterpret_cast<POINT*>(&now), 2);
    if (!::EqualRect(&now, &rect))
        ::MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void LiteWebView::SyncControls()
{
    std::vector<Field> kept;
    // Only the first controls become windows; Paint draws the others where they stand.
    for (std::size_t i = 0; i < std::min(m_layout.controls.size(), kMaxLiveControls); ++i) {
        const ControlBox& box = m_layout.controls[i];
        const int id = kFirstControlId + static_cast<int>(i);
        auto it = std::find_if(m_fields.begin(), m_fields.end(), [&](const Field& f) { return f.element == box.element; });
        const RECT rect{box.rect.x, box.rect.y - m_scrollY, box.rect.x + box.rect.width,
                        box.rect.y - m_scrollY + box.rect.height};
        HWND hwnd = nullptr;
        std::shared_ptr<const rt::Font> font;
        std::unique_ptr<FieldReader> reader;
        if (it != m_fields.end()) {
            hwnd = it->hwnd;
            it->hwnd = nullptr;
            font = it->font;
            reader = std::move(it->reader);
        } else {
            // A window of the same kind that the previous page left behind is far cheaper to
            // take over than a new one; pages of a site tend to repeat the same form.
            const std::wstring text = InitialText(box);
            auto spare = std::find_if(m_spareFields.begin(), m_spareFields.end(),
                                      [&](const Field& f) { return f.hwnd && f.kind == box.kind; });
            if (spare != m_spareFields.end()) {
                hwnd = spare->hwnd;
                spare->hwnd = nullptr;
                reader = std::move(spare->reader);
                ResetControl(hwnd, box, id, text);
            } else {
                hwnd = CreateControl(box, id, text, rect);
                if (hwnd && !IsButton(box.kind)) reader = AttachReader(hwnd);
            }
            if (!hwnd) continue;
            font = m_host.SharedFontFor(box.font);
            // An edit control measures itself again on every WM_SETFONT.
            if (reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)) != font->get())
                ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->get()), FALSE);
            if (!IsButton(box.kind)) {
                if (const std::string* max = box.element->FindAttribute("maxlength")) {
                    const int limit = std::atoi(max->c_str());
                    if (limit > 0) ::SendMessageW(hwnd, EM_SETLIMITTEXT, limit, 0);
                }
            }
        }
        PlaceControl(hwnd, rect);
        kept.push_back({hwnd, box.element, box.kind, font, std::move(reader)});
    }
    for (const Field& f : m_fields)
        if (f.hwnd) ::DestroyWindow(f.hwnd);
    m_fields = std::move(kept);
    DestroyFields(m_spareFields);
}

void LiteWebView::RetireControls()
{
    // The old document goes with the page, so only the windows and their kinds stay. They are
    // taken over or destroyed before anything paints.
    DestroyFields(m_spareFields);
    for (Field& f : m_fields) f.element = nullptr;
    m_spareFields = std::move(m_fields);
    m_fields.clear();
}

void LiteWebView::DestroyFields(std::vector<Field>& fields)
{
    for (const Field& f : fields)
        if (f.hwnd) ::DestroyWindow(f.hwnd);
    fields.clear();
}

void LiteWebView::DestroyControls()
{
    DestroyFields(m_fields);
    DestroyFields(m_spareFields);
}

// --- Keyboard ----------------------------------------------------------------------------------------

const LiteWebView::Field* LiteWebView::FieldOf(HWND hwnd) const
{
    for (const Field& f : m_fields)
        if (f.hwnd == hwnd) return &f;
    return nullptr;
}

const Node* LiteWebView::FocusedElement() const
{
    const HWND focus = ::GetFocus();
    if (focus && focus == hWnd()) return m_focusLink;
    const Field* field = FieldOf(focus);
    return field ? field->element : nullptr;
}

void LiteWebView::ScrollIntoView(const Rect& box)
{
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    if (box.y < m_scrollY) ScrollTo(box.y);
    else if (box.bottom() > m_scrollY + client.bottom) ScrollTo(box.bottom() - client.bottom);
}

void LiteWebView::MoveFocus(bool forward)
{
    m_autofocus = nullptr;
    std::vector<FocusStop> order = FocusOrder(*m_document, m_layout);
    // Controls drawn inert (past kMaxLiveControls) take no focus: Tab passes over them.
    std::erase_if(order, [&](const FocusStop& stop) {
        return !stop.link && std::none_of(m_fields.begin(), m_fields.end(),
                                          [&](const Field& f) { return f.element == stop.element; });
    });
    const FocusStop* next = NextFocusStop(order, FocusedElement(), forward);
    if (!next) return;
    ScrollIntoView(FocusStopBounds(m_layout, next->element));
    m_focusVisible = true;
    m_focusLink = next->link ? next->element : nullptr;
    ::InvalidateRect(hWnd(), nullptr, FALSE);
    if (next->link) {
        ::SetFocus(hWnd());
        return;
    }
    const Field* field = nullptr;
    for (const Field& f : m_fields)
        if (f.element == next->element) field = &f;
    if (!field) return;
    // Keyboard users see where the focus is, as the dialog manager shows it after a Tab.
    ::SendMessageW(field->hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    ::SetFocus(field->hwnd);
    if (field->kind != ControlKind::Submit && field->kind != ControlKind::Button)
        ::SendMessageW(field->hwnd, EM_SETSEL, 0, -1);
}

bool LiteWebView::PreTranslate(MSG& msg)
{
    if (msg.message != WM_KEYDOWN || !m_document || !hWnd()) return false;
    if (msg.hwnd != hWnd() && !::IsChild(hWnd(), msg.hwnd)) return false;
    const int shift = rt::ShiftState();
    const Field* field = FieldOf(msg.hwnd);
    switch (msg.wParam) {
    case VK_TAB:
        if (shift & (kCtrl | kAlt)) return false;
        MoveFocus(!(shift & kShift));
        return true;
    case VK_RETURN:
        if (shift & kAlt) return false;
        // Enter on a submit button, or in a one-line text field, submits its form, as in a
        // browser. (Seen here rather than by subclassing the fields: each message through a
        // subclassed window costs a round trip to the server under Wine.)
        if (field && (field->kind == ControlKind::Submit ||
                      ((field->kind == ControlKind::TextInput || field->kind == ControlKind::Password) &&
                       !(shift & kCtrl)))) {
            Submit(field->element);  // may destroy this view: touch nothing after it
            return true;
        }
        if (msg.hwnd == hWnd() && m_focusLink) {
            FollowLink(m_focusLink->Attr("href"), m_focusLink);
            return true;
        }
        return false;
    case 'A':
        // Select all: older edit controls do not know the shortcut.
        if ((shift & (kCtrl | kAlt | kShift)) != kCtrl || !field || field->kind == ControlKind::Submit ||
            field->kind == ControlKind::Button)
            return false;
        ::SendMessageW(msg.hwnd, EM_SETSEL, 0, -1);
        return true;
    }
    return false;
}

// --- Painting --------------------------------------------------------------------------------------

std::optional<Rgb> LiteWebView::TransparencyKey() const
{
    const HWND top = ::GetAncestor(hWnd(), GA_ROOT);
    COLORREF key = 0;
    DWORD flags = 0;
    if (!top || !(::GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !::GetLayeredWindowAttributes(top, &key, nullptr, &flags) || !(flags & LWA_COLORKEY))
        return std::nullopt;
    return (static_cast<Rgb>(GetRValue(key)) << 16) | (GetGValue(key) << 8) | GetBValue(key);
}

void LiteWebView::Paint(HDC dc, const RECT& client)
{
    rt::Brush canvas(::CreateSolidBrush(ToColorRef(m_layout.canvas)));
    ::FillRect(dc, &client, canvas.get());
    ::SetBkMode(dc, TRANSPARENT);
    std::optional<rt::GdipGraphics> graphics;
    // In a window that shows its background through a key colour, text over that colour must
    // not blend with it.
    const std::optional<Rgb> key = TransparencyKey();
    for (std::size_t index = 0; index < m_layout.items.size(); ++index) {
        const DisplayItem& item = m_layout.items[index];
        RECT r{item.rect.x, item.rect.y - m_scrollY, item.rect.right(), item.rect.bottom() - m_scrollY};
        if (r.bottom < client.top || r.top > client.bottom) continue;
        switch (item.kind) {
        case ItemKind::Fill: {
            rt::Brush brush(::CreateSolidBrush(ToColorRef(item.color)));
            ::FillRect(dc, &r, brush.get());
            break;
        }
        case ItemKind::Frame: {
            rt::Brush brush(::CreateSolidBrush(ToColorRef(item.color)));
            ::FrameRect(dc, &r, brush.get());
            break;
        }
        case ItemKind::Text: {
            const std::wstring text = Utf8ToWide(item.text);
            const bool crisp = key && BackdropOf(m_layout, index) == *key;
            rt::SelectGuard font(dc, crisp ? m_host.CrispFontFor(item.font) : m_host.FontFor(item.font));
            ::SetTextColor(dc, ToColorRef(item.color));
            ::ExtTextOutW(dc, r.left, r.top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
            break;
        }
        case ItemKind::Image: {
            auto it = m_images.find(item.text);
            if (it == m_images.end() || !*it->second || item.rect.width <= 0 || item.rect.height <= 0) break;
            if (!graphics) graphics.emplace(dc);
            Gdiplus::DllExports::GdipDrawImageRectI(graphics->get(), it->second->get(), r.left, r.top, item.rect.width,
                                                    item.rect.height);
            break;
        }
        }
    }
    PaintInertControls(dc, client);
    if (m_focusLink && m_focusVisible && ::GetFocus() == hWnd()) {
        for (const LinkArea& area : m_layout.links) {
            if (area.element != m_focusLink) continue;
            RECT r{area.rect.x - 1, area.rect.y - 1 - m_scrollY, area.rect.right() + 1, area.rect.bottom() + 1 - m_scrollY};
            ::DrawFocusRect(dc, &r);
        }
    }
}

void LiteWebView::PaintInertControls(HDC dc, const RECT& client)
{
    for (std::size_t i = kMaxLiveControls; i < m_layout.controls.size(); ++i) {
        const ControlBox& box = m_layout.controls[i];
        RECT r{box.rect.x, box.rect.y - m_scrollY, box.rect.right(), box.rect.bottom() - m_scrollY};
        if (r.bottom < client.top || r.top > client.bottom) continue;
        const bool button = IsButton(box.kind);
        ::FillRect(dc, &r, ::GetSysColorBrush(button ? COLOR_BTNFACE : COLOR_WINDOW));
        ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_BTNSHADOW));
        if (box.kind == ControlKind::Password) continue;
        std::wstring text = InitialText(box);
        rt::SelectGuard font(dc, m_host.FontFor(box.font));
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        ::InflateRect(&r, -rt::ScalePixels(3, m_dpi), -rt::ScalePixels(2, m_dpi));
        ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (button ? DT_CENTER : DT_LEFT));
    }
}

void LiteWebView::ShowContextMenu(POINT screen)
{
    bool allow = true;
    if (!RaiseContextMenu(allow)) return;
    if (!allow) return;
    rt::Menu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.get(), MF_STRING | (m_backList.CanGoBack() ? 0 : MF_GRAYED), kMenuBack, L"后退(&B)");
    ::AppendMenuW(menu.get(), MF_STRING, kMenuRefresh, L"刷新(&R)");
    if (screen.x == -1 && screen.y == -1) {
        screen = {0, 0};
        ::ClientToScreen(hWnd(), &screen);
    }
    const UINT cmd = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hWnd(), nullptr);
    if (cmd == kMenuRefresh) {
        Refresh();
    } else if (cmd == kMenuBack) {
        if (const std::optional<std::string> previous = m_backList.GoBack()) Navigate(Utf8ToWide(*previous));
    }
}

LRESULT LiteWebView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT answer = 0; m_access.HandleMessage(hWnd(), msg, wParam, lParam, answer)) return answer;
    if (msg == rt::DpiChangeNotice()) {
        // The page's CSS pixels are s device pixels: at another dpi it is laid out anew, also when
        // the view keeps its size in pixels (a resize lays it out at the new dpi by itself).
        if (rt::Screen::DpiFor(hWnd()) != m_dpi) Relayout();
        return 0;
    }
    switch (msg) {
    case kLoadMessage:
        Load(static_cast<unsigned>(wParam));
        return 0;
    case kFetchedMessage:
        Fetched(static_cast<unsigned>(wParam));
        return 0;
    case kImageMessage:
        ImageFetched(static_cast<unsigned>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            ::KillTimer(hWnd(), kRefreshTimer);
            if (auto target = std::exchange(m_refreshTarget, std::nullopt)) Navigate(*target);
            return 0;
        }
        if (wParam == kImageDeadlineTimer) {
            FinishImages();  // what has not come by now stays an empty slot
            return 0;
        }
        if (wParam == kImageLayoutTimer) {
            ::KillTimer(hWnd(), kImageLayoutTimer);
            m_imageLayoutDue = false;
            Relayout();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        rt::PaintDC paint(hWnd());
        RECT client{};
        ::GetClientRect(hWnd(), &client);
        rt::OffscreenSurface surface(paint.get(), std::max<int>(1, client.right), std::max<int>(1, client.bottom));
        if (surface) {
            Paint(surface.dc(), client);
            ::BitBlt(paint.get(), 0, 0, client.right, client.bottom, surface.dc(), 0, 0, SRCCOPY);
        }
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(hWnd(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_SIZE:
        Relayout();
        return 0;
    case WM_VSCROLL: {
        RECT client{};
        ::GetClientRect(hWnd(), &client);
        int y = m_scrollY;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: y -= rt::ScalePixels(kLineStep, m_dpi); break;
        case SB_LINEDOWN: y += rt::ScalePixels(kLineStep, m_dpi); break;
        case SB_PAGEUP: y -= client.bottom; break;
        case SB_PAGEDOWN: y += client.bottom; break;
        case SB_TOP: y = 0; break;
        case SB_BOTTOM: y = m_layout.height; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
            ::GetScrollInfo(hWnd(), SB_VERT, &si);
            y = si.nTrackPos;
            break;
        }
        }
        ScrollTo(y);
        return 0;
    }
    case WM_KEYDOWN: {
        // The page itself has the focus: the scrolling keys of a browser.
        int code = -1;
        switch (wParam) {
        case VK_UP: code = SB_LINEUP; break;
        case VK_DOWN: code = SB_LINEDOWN; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        }
        if (code < 0) break;
        ::SendMessageW(hWnd(), WM_VSCROLL, MAKEWPARAM(code, 0), 0);
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (m_scrollBarShown) ScrollTo(m_scrollY - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * rt::ScalePixels(kWheelStep, m_dpi));
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hWnd()) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(hWnd(), &p);
            const bool link = LinkAt(m_layout, p.x, p.y + m_scrollY) != nullptr;
            ::SetCursor(::LoadCursorW(nullptr, link ? IDC_HAND : IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        m_pressedLink = LinkAt(m_layout, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) + m_scrollY);
        m_focusLink = m_pressedLink ? m_pressedLink->element : nullptr;
        m_focusVisible = false;
        m_autofocus = nullptr;
        ::SetFocus(hWnd());
        ::InvalidateRect(hWnd(), nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
        if (m_autofocus && ::IsWindow(m_autofocus)) {
            ::SetFocus(std::exchange(m_autofocus, nullptr));
            return 0;
        }
        [[fallthrough]];
    case WM_KILLFOCUS:
        if (m_focusLink && m_focusVisible) ::InvalidateRect(hWnd(), nullptr, FALSE);
        break;
    case WM_LBUTTONUP: {
        const LinkArea* link = LinkAt(m_layout, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) + m_scrollY);
        if (link && link == m_pressedLink) {
            m_pressedLink = nullptr;
            // Held here: following may replace the layout.
            const std::shared_ptr<const std::string> href = link->href;
            FollowLink(*href, link->element);
            return 0;
        }
        m_pressedLink = nullptr;
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            for (const Field& f : m_fields)
                if (f.hwnd == reinterpret_cast<HWND>(lParam) && f.kind == ControlKind::Submit) {
                    Submit(f.element);
                    return 0;
                }
        }
        break;
    case WM_CONTEXTMENU:
        ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    return Final(msg, wParam, lParam);
}

}  // namespace browser
