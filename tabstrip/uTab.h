#pragma once
// The tab strip: a row of tabs, one per CTabItem of TabItems, that shows the selected tab's page
// inside the host's container window. Mouse input selects, highlights and closes tabs; every
// frame is built off screen and reaches the window with one copy.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "runtime/AccessibleHost.h"
#include "runtime/Control.h"
#include "runtime/Handles.h"
#include "runtime/PropertyBag.h"
#include "subclass/CSubclass.h"
#include "tabstrip/CTabItem.h"
#include "tabstrip/CTabItems.h"
#include "tabstrip/ITabForm.h"
#include "tabstrip/IuTab.h"
#include "tabstrip/TabAccess.h"
#include "tabstrip/TabLayout.h"
#include "tabstrip/TabOverflow.h"
#include "tabstrip/TabPaintPlan.h"
#include "tabstrip/TabSpritePaint.h"
#include "tabstrip/TabSprites.h"
#include "tabstrip/TabWindowsWin32.h"
#include "tabstrip/mdlTabAPI.h"

namespace corvane {

class uTab : public rt::Control, public IuTab {
public:
    // Skins are bitmaps 106 and 107 of `skinModule` (default: the executable).
    explicit uTab(HMODULE skinModule = nullptr);
    ~uTab() override;

    // --- Events, in declaration order -----------------------------------------------------------
    using MouseEvent = std::function<void(long& ItemIndex, int& Button, int& Shift, float& X, float& Y)>;
    std::function<void()> TabChanged;
    MouseEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseHover;
    MouseEvent OnMouseMove;
    MouseEvent OnMouseUp;
    std::function<void()> OnMouseLeave;
    std::function<void(long& ItemIndex, bool& Cancel)> OnItemColose;
    std::function<void(HDC& hdc, long& cx, long& cy, bool& bSkipDefault)> OnDrawBackground;

    // --- Properties and methods ---------------------------------------------------------------
    void refresh();
    void LockReDraw(bool bLock);
    HWND hContainerWnd() const { return m_container; }
    void SethContainerWnd(HWND container);
    long TabStyle() const { return m_tabStyle; }
    void SetTabStyle(long style) { m_tabStyle = style; }
    long TabLeftSize() const { return m_leftSize; }
    void SetTabLeftSize(long size) { m_leftSize = size; }
    long TabRightSize() const { return m_rightSize; }
    void SetTabRightSize(long size) { m_rightSize = size; }
    // Reloads the selected tab's page; TabError 91 when no tab is selected.
    void RefreshPage();

    void ReadProperties(rt::PropertyBag& bag);
    void WriteProperties(rt::PropertyBag& bag) const;

    // Frames copied to the window since creation: lets tests and benchmarks count repaints.
    long FramesDrawn() const { return m_frames; }

    // Selects a tab as the player does by choosing it (the chevron's list, the tab keys):
    // shows its page, repaints and raises TabChanged. Positions outside the list do nothing.
    // False when a handler destroyed the strip.
    bool ChooseTab(long index);
    // Where the tabs' picture lies now: the shift that keeps the selected tab whole, and the
    // chevron shown while some tab is cut off.
    TabOverflow Overflow() const;

    // --- IuTab ----------------------------------------------------------------------------------
    void Add(const std::wstring& caption, const std::shared_ptr<ITabForm>& form,
             const std::optional<std::wstring>& key, const TabIndex& index) override;
    bool BeforeRemove(long index) override;
    void Remove(long index) override;
    void Clear() override;
    void Redraw(bool update) override;
    void ChangeForm(CTabItem& item, const std::shared_ptr<ITabForm>& form) override;
    long Selected() const override { return m_selected; }
    void SetSelected(long index) override;
    CTabItems& TabItems() override { return *m_items; }
    WindowHandle hWnd() const override { return reinterpret_cast<WindowHandle>(rt::Window::hWnd()); }
    WindowHandle hParent() const override;

protected:
    const wchar_t* ClassName() const override { return L"uTab"; }
    void OnCreated() override;
    void OnResize() override;
    void OnDpiChanged() override { OnResize(); }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void c_Subclass_WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                               WPARAM wParam, LPARAM lParam);

    StripGeometry Geometry() const;
    HitResult Hit(float x, float y) const;
    void EmbedPage(const std::shared_ptr<ITabForm>& page);
    void ShowSelectedPage();

    bool MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void DblClick();
    void MouseLeave();
    bool OpenChevron();
    bool Raise(const MouseEvent& event, long itemIndex, int button, int shift, float x, float y);

    void RebuildBuffers();
    void FreeBuffers();
    void ComputeTabWidth();
    void LayoutTabs();
    bool DrawBackground();
    void DrawTabs(bool update);
    void DrawChevronCell(const TabPaintSource& source, const ChevronPaint& chevron, long leftSize);
    // Skins, fonts and drawn tabs for a window of `dpi`; nothing when they are for it already.
    void UseDpi(int dpi);
    // Both return false when the host's background handler destroyed the strip.
    bool RedrawAll();
    const mdlTabAPI::MemoryDC& Skin() const { return m_tabStyle == 0 ? m_skin0 : m_skin1; }

    // Skins and fonts, made at initialisation for the screen's scale and again for the window's
    // whenever it differs: the strip draws at its window's dpi, in that window's pixels.
    HMODULE m_skinModule = nullptr;
    int m_dpi = 0;
    mdlTabAPI::MemoryDC m_skin0;
    mdlTabAPI::MemoryDC m_skin1;
    rt::Font m_font;
    rt::Font m_boldFont;

    Win32TabWindows m_windows;
    std::unique_ptr<CTabItems> m_items;
    std::unique_ptr<CSubclass> c_Subclass;

    long m_tabStyle = 0;
    long m_leftSize = 40;
    long m_rightSize = 0;
    HWND m_container = nullptr;
    long m_selected = -1;
    long m_hover = -1;
    int m_closeState = 0;
    long m_tabWidth = 108;
    bool m_drawing = false;
    struct LastDown {
        int button = 0;
        int shift = 0;
        float x = 0;
        float y = 0;
    } m_lastDown;
    long m_frames = 0;

    // Off-screen buffers, rebuilt on every resize. The tab area's pixels are reachable, so that
    // tabs drawn in earlier frames are copied in without a call per tab.
    mdlTabAPI::MemoryDC m_composed;
    mdlTabAPI::MemoryDC m_background;
    mdlTabAPI::MemoryDC m_tabArea;
    TabSpriteCache m_sprites;
    std::optional<TabSprite> m_chevron;
    long m_chevronStyle = 0;
    long m_chevronWidth = 0;

    // What screen readers see of the strip (uTabAccess.cpp).
    class ReaderView final : public rt::acc::Source {
    public:
        explicit ReaderView(uTab& strip) : m_strip(strip) {}
        long ChildCount() const override;
        rt::acc::Item Describe(long child) const override;
        long SelectedChild() const override;
        void DoDefaultAction(long child) override;
        long ActionKey(long child) const override;
        long ChildOfAction(long key) const override;
        bool Select(long child) override;

    private:
        uTab& m_strip;
    };
    StripFacts ReaderFacts() const;
    void SelectForReader(long index);
    // Tells readers what changed since they last heard: the selection, a caption.
    void AnnounceToReaders();
    long m_announcedSelection = -1;
    std::vector<std::wstring> m_announcedCaptions;
    ReaderView m_readerView{*this};
    rt::AccessibleHost m_access{m_readerView};
};

}  // namespace corvane
