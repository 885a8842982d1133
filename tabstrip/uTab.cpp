#include "tabstrip/uTab.h"

#include <windowsx.h>

#include "runtime/DpiScale.h"
#include "runtime/HighContrast.h"
#include "runtime/MouseEvents.h"
#include "runtime/Resources.h"
#include "runtime/Rounding.h"
#include "runtime/Screen.h"
#include "tabstrip/TabChevronMenu.h"
#include "tabstrip/TabError.h"
#include "tabstrip/TabSpritePaint.h"

namespace corvane {

namespace {

// The page's frame goes when it is embedded; WS_POPUP too, since a popup cannot be a child.
constexpr DWORD kEmbedRemove = WS_CAPTION | WS_THICKFRAME | WS_POPUP;
constexpr UINT kEmbedPosFlags = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;  // 0x94
constexpr UINT kShowPosFlags = SWP_SHOWWINDOW | SWP_NOACTIVATE;                 // 0x50

constexpr UINT kWmDpiChangedAfterParent = 0x02E3;  // newer than the headers' target

HWND PageWindow(const std::shared_ptr<ITabForm>& page)
{
    return page ? reinterpret_cast<HWND>(page->hWnd()) : nullptr;
}

// The skin of a style as drawn for `dpi`: the set of that scale 1:1, or the next larger one
// shrunk piece by piece with its transparent magenta kept exact.
rt::Bitmap LoadSkin(HMODULE module, long style, int dpi)
{
    const rt::PictureRef skin =
        rt::LoadResPictureFor(SkinFor(style).bitmapId, dpi, module, kSkinTransparent, SkinPieces(style));
    if (!skin) return {};
    return rt::Bitmap(static_cast<HBITMAP>(::CopyImage(skin->handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// The system's GUI font comes at the screen's scale; the strip's captions are set at its own.
rt::Font MakeFont(LONG weight, int dpi)
{
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    const int screenDpi = rt::Screen::Scale().dpiX;
    if (dpi != screenDpi) lf.lfHeight = rt::RoundHalfEven(static_cast<double>(lf.lfHeight) * dpi / screenDpi);
    lf.lfWeight = weight;
    return rt::Font(::CreateFontIndirectW(&lf));
}

}  // namespace

uTab::uTab(HMODULE skinModule) : m_skinModule(skinModule)
{
    UseDpi(rt::Screen::Scale().dpiX);
    m_items = std::make_unique<CTabItems>(m_windows);
    m_items->SetStrip(this);
    c_Subclass = std::make_unique<CSubclass>(
        [this](bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
               LONG_PTR&) { c_Subclass_WindowProc(before, handled, result, hwnd, msg, wParam, lParam); });
}

void uTab::UseDpi(int dpi)
{
    dpi = rt::SaneDpi(dpi);
    if (dpi == m_dpi) return;
    m_dpi = dpi;
    m_skin0 = {};
    m_skin1 = {};
    try {
        m_skin0 = mdlTabAPI::CreateBitmapDC(LoadSkin(m_skinModule, 0, dpi));
        m_skin1 = mdlTabAPI::CreateBitmapDC(LoadSkin(m_skinModule, 1, dpi));
    } catch (const TabError&) {
        // Without skins the strip still works; it only lacks its pictures.
    }
    m_font = MakeFont(100, dpi);
    m_boldFont = MakeFont(FW_BOLD, dpi);
    // Tabs drawn at the old scale are of no use at the new one.
    m_sprites.Clear();
    m_chevron.reset();
}

uTab::~uTab()
{
    // The window goes first, so that no message reaches the strip while its parts are released.
    DestroyHandle();
    c_Subclass.reset();
    m_items.reset();
    FreeBuffers();
}

// --- Properties ---------------------------------------------------------------------------------

void uTab::ReadProperties(rt::PropertyBag& bag)
{
    m_tabStyle = bag.ReadInt(L"TabStyle", 0);
    m_leftSize = bag.ReadInt(L"TabLeftSize", 40);
    m_rightSize = bag.ReadInt(L"TabRightSize", 0);
}

void uTab::WriteProperties(rt::PropertyBag& bag) const
{
    bag.Write(L"TabStyle", static_cast<std::int32_t>(m_tabStyle));
    bag.Write(L"TabLeftSize", static_cast<std::int32_t>(m_leftSize));
    bag.Write(L"TabRightSize", static_cast<std::int32_t>(m_rightSize));
}

void uTab::refresh()
{
    RedrawAll();
}

void uTab::LockReDraw(bool bLock)
{
    m_drawing = !bLock;
    if (bLock) return;
    ComputeTabWidth();
    LayoutTabs();
    RedrawAll();
}

void uTab::SethContainerWnd(HWND container)
{
    if (m_container && m_container != container) c_Subclass->ssc_UnSubclass(m_container);
    m_container = container;
    if (!container) return;
    bool unicode = true;
    if (c_Subclass->ssc_Subclass(container, 0, unicode, false)) c_Subclass->ssc_AddMsg(container, WM_SIZE, MSG_AFTER);
}

void uTab::RefreshPage()
{
    if (m_selected < 0 || m_selected >= m_items->Count()) throw MakeTabError(kErrObjectNotSet);
    std::shared_ptr<ITabForm> page = m_items->Item(m_selected)->Form();
    if (!page) throw MakeTabError(kErrObjectNotSet);
    page->RefreshPage();
}

void uTab::SetSelected(long index)
{
    if (index < 0) {
        m_selected = -1;
        RedrawAll();
        return;
    }
    if (index > m_items->Count() - 1) return;
    m_selected = index;
    ShowSelectedPage();
    RedrawAll();
}

WindowHandle uTab::hParent() const
{
    HWND self = rt::Window::hWnd();
    HWND root = self ? ::GetAncestor(self, GA_ROOT) : nullptr;
    return root && root != self ? reinterpret_cast<WindowHandle>(root) : 0;
}

// --- IuTab ------------------------------------------------------------------------------------

void uTab::Add(const std::wstring&, const std::shared_ptr<ITabForm>& form, const std::optional<std::wstring>&,
               const TabIndex&)
{
    EmbedPage(form);
    m_selected = SelectionAfterAdd(m_selected, m_items->Count());
    ComputeTabWidth();
    LayoutTabs();
    DrawTabs(true);
}

bool uTab::BeforeRemove(long index)
{
    bool cancel = false;
    if (!rt::RaiseEvent(Life(), OnItemColose, index, cancel)) return false;
    return !cancel;
}

void uTab::Remove(long index)
{
    ComputeTabWidth();
    LayoutTabs();
    m_selected = SelectionAfterRemove(m_selected, index);
    ShowSelectedPage();
    DrawTabs(true);
}

void uTab::Clear()
{
    ComputeTabWidth();
    m_selected = 0;
    DrawTabs(true);
}

void uTab::Redraw(bool)
{
    RedrawAll();
}

void uTab::ChangeForm(CTabItem&, const std::shared_ptr<ITabForm>& form)
{
    try {
        EmbedPage(form);
        ShowSelectedPage();
    } catch (...) {
        // A page that cannot be placed stays where it is; the tab is still added.
    }
}

// --- Pages ------------------------------------------------------------------------------------

void uTab::EmbedPage(const std::shared_ptr<ITabForm>& page)
{
    HWND window = PageWindow(page);
    if (!window || !m_container) return;
    RECT area{};
    ::GetClientRect(m_container, &area);
    ::SetParent(window, m_container);
    mdlTabAPI::ModifyStyle(window, GWL_STYLE, kEmbedRemove, WS_CHILD, SWP_FRAMECHANGED);
    ::SetWindowPos(window, nullptr, 0, 0, area.right, area.bottom, kEmbedPosFlags);
}

void uTab::ShowSelectedPage()
{
    if (m_selected < 0 || m_selected >= m_items->Count() || !m_container) return;
    HWND window = PageWindow(m_items->Item(m_selected)->Form());
    if (!window) return;
    RECT area{};
    ::GetClientRect(m_container, &area);
    // Pages shown earlier stay visible underneath; this one covers them.
    ::SetWindowPos(window, HWND_TOP, 0, 0, area.right, area.bottom, kShowPosFlags);
}

// --- Messages ---------------------------------------------------------------------------------

void uTab::OnCreated()
{
    HWND self = rt::Window::hWnd();
    bool unicode = true;
    if (c_Subclass->ssc_Subclass(self, 0, unicode, false)) c_Subclass->ssc_AddMsg(self, ALL_MESSAGES, MSG_BEFORE);
    // The window was sized while it was being made, before it was a control.
    OnResize();
}

void uTab::c_Subclass_WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM,
                                 LPARAM)
{
    HWND self = rt::Window::hWnd();
    if (lng_hWnd == self && bBefore) {
        switch (uMsg) {
        case WM_ERASEBKGND:
            // Never erased: the paint copies a whole frame, so the strip does not flicker.
            bHandled = true;
            lReturn = 0;
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(self, &ps);
            if (m_composed)
                ::BitBlt(dc, 0, 0, m_composed.width(), m_composed.height(), m_composed.dc(), 0, 0, SRCCOPY);
            ::EndPaint(self, &ps);
            bHandled = true;
            lReturn = 0;
            break;
        }
        case WM_MOUSELEAVE:
            MouseLeave();
            break;
        case WM_SYSCOLORCHANGE:
            // The captions' colours may have changed with High Contrast: no drawn tab is kept.
            m_sprites.Clear();
            DrawTabs(true);
            break;
        }
    } else if (lng_hWnd == m_container && !bBefore && uMsg == WM_SIZE) {
        ShowSelectedPage();
    }
}

LRESULT uTab::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT answer = 0; m_access.HandleMessage(rt::Window::hWnd(), msg, wParam, lParam, answer)) return answer;
    const float x = static_cast<float>(GET_X_LPARAM(lParam));
    const float y = static_cast<float>(GET_Y_LPARAM(lParam));
    HWND self = rt::Window::hWnd();
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Like a form's controls, the strip keeps the mouse while a button is held.
        ::SetCapture(self);
        MouseDown(msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4, rt::ShiftState(), x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        ::SetCapture(self);
        DblClick();
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (rt::HeldButtons(wParam) == 0 && ::GetCapture() == self) ::ReleaseCapture();
        MouseUp(msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4, rt::ShiftState(), x, y);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(rt::HeldButtons(wParam), rt::ShiftState(), x, y);
        return 0;
    case kWmDpiChangedAfterParent:
        // The parent has taken its size at the new scale; the strip follows with its own.
        OnResize();
        return 0;
    }
    return rt::Control::HandleMessage(msg, wParam, lParam);
}

// --- Mouse ------------------------------------------------------------------------------------

StripGeometry uTab::Geometry() const
{
    RECT r{};
    if (HWND self = rt::Window::hWnd()) ::GetClientRect(self, &r);
    return StripAt(m_tabStyle, r.right, m_leftSize, m_rightSize, m_dpi);
}

HitResult uTab::Hit(float x, float y) const
{
    std::vector<HitTab> tabs;
    for (long i = 0; i < m_items->Count(); ++i) {
        auto tab = m_items->Item(i);
        tabs.push_back({tab->Left(), tab->Width(), tab->HideButton()});
    }
    return HitTestShifted(Geometry(), tabs, Overflow(), x, y);
}

TabOverflow uTab::Overflow() const
{
    std::vector<TabSlot> slots;
    slots.reserve(static_cast<std::size_t>(m_items->Count()));
    for (long i = 0; i < m_items->Count(); ++i) {
        const CTabItem& item = m_items->At(i);
        slots.push_back({item.Left(), item.Width()});
    }
    return PlanOverflow(Geometry(), slots, m_selected);
}

bool uTab::Raise(const MouseEvent& event, long itemIndex, int button, int shift, float x, float y)
{
    return rt::RaiseEvent(Life(), event, itemIndex, button, shift, x, y);
}

// The mouse routines return false when a handler destroyed the strip; they touch nothing of it
// after that.
bool uTab::MouseDown(int button, int shift, float x, float y)
{
    m_lastDown = {button, shift, x, y};
    long itemIndex = 0;
    if (button == 1) {
        const HitResult hit = Hit(x, y);
        // The chevron is the strip's own button: the host hears of the choice, not of the press.
        if (hit.index == kHitChevron) return OpenChevron();
        itemIndex = hit.index;
        if (hit.index >= 0 && hit.index < m_items->Count()) {
            if (hit.index != m_selected && !hit.close) {
                m_selected = hit.index;
                ShowSelectedPage();
                DrawTabs(true);
            } else if (hit.close && m_closeState != 2) {
                m_closeState = 2;
                DrawTabs(true);
            }
            if (!rt::RaiseEvent(Life(), TabChanged)) return false;
        }
    }
    return Raise(OnMouseDown, itemIndex, button, shift, x, y);
}

void uTab::MouseMove(int button, int shift, float x, float y)
{
    long itemIndex = 0;
    if (button == 0) {
        c_Subclass->TrackMouseTracking(rt::Window::hWnd());
        const HitResult hit = Hit(x, y);
        itemIndex = hit.index;
        const int close = hit.close ? 1 : 0;
        // Repaint only when what is highlighted changes.
        if (hit.index != m_hover || close != m_closeState) {
            if (hit.index != m_hover && !Raise(OnMouseHover, hit.index, button, shift, x, y)) return;
            m_hover = hit.index;
            m_closeState = close;
            DrawTabs(true);
        }
    }
    Raise(OnMouseMove, itemIndex, button, shift, x, y);
}

void uTab::MouseUp(int button, int shift, float x, float y)
{
    long itemIndex = 0;
    if (button == 1) {
        const HitResult hit = Hit(x, y);
        itemIndex = hit.index;
        m_closeState = 0;
        // Closes when released over the close button of the tab the mouse was over when the
        // button went down.
        if (hit.index >= 0 && hit.index < m_items->Count() && hit.index == m_hover && hit.close &&
            !m_items->Item(hit.index)->HideButton()) {
            // The close handler or the page's unload may unload the form that holds the strip.
            const rt::Liveness::Watch watch = Life().Observe();
            m_items->Remove(hit.index, true);
            if (!watch.Alive()) return;
        }
        if (!RedrawAll()) return;
    }
    Raise(OnMouseUp, itemIndex, button, shift, x, y);
}

void uTab::DblClick()
{
    const LastDown down = m_lastDown;
    const HitResult hit = Hit(down.x, down.y);
    if (!MouseDown(down.button, down.shift, down.x, down.y)) return;
    Raise(OnDblClick, hit.index, down.button, down.shift, down.x, down.y);
}

bool uTab::OpenChevron()
{
    HWND self = rt::Window::hWnd();
    if (::GetCapture() == self) ::ReleaseCapture();
    const TabOverflow o = Overflow();
    std::vector<std::wstring> captions;
    captions.reserve(static_cast<std::size_t>(m_items->Count()));
    for (long i = 0; i < m_items->Count(); ++i) captions.push_back(m_items->At(i).Caption());
    const StripGeometry g = Geometry();
    POINT at{g.leftSize + o.visibleWidth, g.Height()};
    ::ClientToScreen(self, &at);
    const rt::Liveness::Watch watch = Life().Observe();
    const long chosen = ChooseFromTabMenu(self, at, captions, m_selected);
    if (!watch.Alive()) return false;
    if (chosen < 0 || chosen >= m_items->Count()) return true;
    if (!ChooseTab(chosen)) return false;
    // The host hears what a click on the tab, now in view, would have told it.
    const CTabItem& tab = m_items->At(chosen);
    const TabOverflow now = Overflow();
    const float x = static_cast<float>(g.leftSize + tab.Left() - now.shift + tab.Width() / 2);
    const float y = static_cast<float>(g.Px(12));
    return Raise(OnMouseDown, chosen, 1, 0, x, y) && Raise(OnMouseUp, chosen, 1, 0, x, y);
}

bool uTab::ChooseTab(long index)
{
    if (index < 0 || index >= m_items->Count()) return true;
    if (index != m_selected) {
        m_selected = index;
        ShowSelectedPage();
        DrawTabs(true);
    }
    return rt::RaiseEvent(Life(), TabChanged);
}

void uTab::MouseLeave()
{
    if (m_hover != -1) {
        m_hover = -1;
        DrawTabs(true);
    }
    rt::RaiseEvent(Life(), OnMouseLeave);
}

// --- Layout and painting ----------------------------------------------------------------------

void uTab::OnResize()
{
    HWND self = rt::Window::hWnd();
    UseDpi(rt::Screen::DpiFor(self));
    const long height = Geometry().Height();
    RECT window{};
    ::GetWindowRect(self, &window);
    if (window.bottom - window.top != height)
        ::SetWindowPos(self, nullptr, 0, 0, window.right - window.left, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    try {
        RebuildBuffers();
    } catch (const TabError&) {
        // Left without (some) buffers until the next resize; painting copes.
    }
    ComputeTabWidth();
    LayoutTabs();
    RedrawAll();
}

void uTab::FreeBuffers()
{
    m_composed = {};
    m_background = {};
    m_tabArea = {};
}

void uTab::RebuildBuffers()
{
    FreeBuffers();
    const StripGeometry g = Geometry();
    m_composed = mdlTabAPI::CreateMemoryDC(g.width, g.Height());
    m_background = mdlTabAPI::CreateMemoryDC(g.width, g.Height());
    m_tabArea = mdlTabAPI::CreateDibDC(g.TabAreaWidth(), g.Height());
}

void uTab::ComputeTabWidth()
{
    if (!m_drawing) return;
    std::vector<bool> locked;
    for (long i = 0; i < m_items->Count(); ++i) locked.push_back(m_items->Item(i)->LockSize());
    m_tabWidth = corvane::ComputeTabWidth(Geometry(), locked);
}

void uTab::LayoutTabs()
{
    if (!m_drawing) return;
    std::vector<bool> locked;
    for (long i = 0; i < m_items->Count(); ++i) locked.push_back(m_items->Item(i)->LockSize());
    const auto slots = corvane::LayoutTabs(Geometry(), m_tabWidth, locked);
    for (long i = 0; i < m_items->Count(); ++i) {
        auto tab = m_items->Item(i);
        tab->SetLeft(slots[i].left);
        tab->SetWidth(slots[i].width);
    }
}

bool uTab::DrawBackground()
{
    if (!m_drawing || !m_background) return true;
    HDC dc = m_background.dc();
    long cx = m_background.width();
    long cy = m_background.height();
    bool skip = false;
    if (!rt::RaiseEvent(Life(), OnDrawBackground, dc, cx, cy, skip)) return false;
    if (skip) return true;
    const PixelRect column = SkinFor(m_tabStyle, m_dpi).background;
    ::StretchBlt(m_background.dc(), 0, 0, m_background.width(), m_background.height(), Skin().dc(), column.x, column.y,
                 column.w, column.h, SRCCOPY);
    return true;
}

void uTab::DrawTabs(bool update)
{
    AnnounceToReaders();
    if (!m_drawing || !m_composed || !m_background) return;
    const StripGeometry g = Geometry();
    const int height = m_composed.height();
    if (m_tabArea) {
        HDC dc = m_tabArea.dc();
        rt::SelectGuard font(dc, m_font.get());
        rt::ApplyInk(dc, rt::ink::Role::TabCaption, kCaptionColor);
        ::BitBlt(dc, 0, 0, m_tabArea.width(), height, m_background.dc(), g.leftSize, 0, SRCCOPY);
        ::GdiFlush();

        // Beyond the visible end the selected tab is drawn whole by moving the whole picture.
        const TabOverflow overflow = Overflow();
        std::vector<TabState> tabs;
        tabs.reserve(static_cast<std::size_t>(m_items->Count()));
        for (long i = 0; i < m_items->Count(); ++i) {
            const CTabItem& item = m_items->At(i);
            tabs.push_back({item.Left() - overflow.shift, item.Width(), item.HideButton()});
        }
        const TabPaintSource source{Skin().dc(), &SkinFor(g.style, m_dpi), m_font.get(), m_boldFont.get()};
        const std::vector<TabPaint> plan = PlanTabs(g.style, tabs, m_selected, m_hover, m_closeState, m_dpi);
        for (const TabPaint& p : plan) {
            if (!TabInView(p, overflow)) continue;
            if (p.face == TabFace::Selected) {
                ::SelectObject(dc, m_boldFont.get());
                rt::ApplyInk(dc, rt::ink::Role::SelectedTabCaption, kSelectedCaptionColor);
            }
            const TabState& tab = tabs[p.index];
            const std::wstring& caption = m_items->At(p.index).Caption();
            // A glyph that is not drawn makes one sprite for every state.
            const TabSpriteLookup look{g.style, p.face, tab.width, tab.hideButton,
                                       p.hasGlyph ? p.glyph : CloseGlyph::Normal, caption};
            const TabSprite* sprite = m_sprites.Find(look);
            if (!sprite)
                sprite = &m_sprites.Insert({look.style, look.face, look.width, look.hideButton, look.glyph, caption},
                                           RenderTabSprite(source, p, tab.left, caption));
            if (sprite->usable) {
                CompositeSprite(m_tabArea.bits(), m_tabArea.width(), height, *sprite, tab.left + sprite->area.x,
                                sprite->area.y);
                continue;
            }
            try {
                ::GdiFlush();
                DrawTabParts(dc, source, p, caption);
                ::GdiFlush();
            } catch (const TabError&) {
                // An error here would end the program from inside a paint; the tab goes undrawn.
            }
        }
        m_sprites.EndFrame(plan.size());
        if (overflow.chevron) DrawChevronCell(source, PlanChevron(g.style, overflow, m_dpi), g.leftSize);
    }
    ::BitBlt(m_composed.dc(), 0, 0, m_composed.width(), height, m_background.dc(), 0, 0, SRCCOPY);
    if (m_tabArea)
        ::BitBlt(m_composed.dc(), g.leftSize, 0, m_tabArea.width(), height, m_tabArea.dc(), 0, 0, SRCCOPY);
    if (!update) return;
    rt::ClientDC screen(rt::Window::hWnd());
    ::BitBlt(screen.get(), 0, 0, m_composed.width(), height, m_composed.dc(), 0, 0, SRCCOPY);
    ++m_frames;
}

void uTab::DrawChevronCell(const TabPaintSource& source, const ChevronPaint& chevron, long leftSize)
{
    const long height = m_tabArea.height();
    ::GdiFlush();
    ::BitBlt(m_tabArea.dc(), chevron.clear.x, chevron.clear.y, chevron.clear.w, chevron.clear.h, m_background.dc(),
             leftSize + chevron.clear.x, chevron.clear.y, SRCCOPY);
    // Like the tabs, the chevron is drawn once and copied into every later frame.
    if (!m_chevron || m_chevronStyle != m_tabStyle || m_chevronWidth != chevron.face.w) {
        m_chevron = RenderTabSprite(source, ChevronAsTab({{}, {0, chevron.face.y, chevron.face.w, chevron.face.h},
                                                          {0, chevron.text.y, chevron.text.w, chevron.text.h}}),
                                    0, kChevronText);
        m_chevronStyle = m_tabStyle;
        m_chevronWidth = chevron.face.w;
    }
    if (m_chevron->usable) {
        CompositeSprite(m_tabArea.bits(), m_tabArea.width(), height, *m_chevron, chevron.face.x + m_chevron->area.x,
                        m_chevron->area.y);
        return;
    }
    DrawChevron(m_tabArea.dc(), source, m_background.dc(), leftSize, chevron);
}

bool uTab::RedrawAll()
{
    if (!DrawBackground()) return false;
    DrawTabs(true);
    return true;
}

}  // namespace corvane
