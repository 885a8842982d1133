#pragma once
// WebUrl: one game page, a form whose only content is a web browser, living in a tab of the
// main window's strip. The tab owns the page; the page keeps its tab weakly.

#include <memory>
#include <string>

#include "browser/WebView.h"
#include "mainwindow/MainLayout.h"
#include "runtime/Form.h"
#include "runtime/PictureBox.h"
#include "tabstrip/ITabForm.h"

namespace corvane {

class CTabItem;
class IuTab;

class WebUrl : public rt::Form, public ITabForm {
public:
    WebUrl();
    ~WebUrl() override;

    // Navigates the page's browser (loading the form first).
    void OpenURL(const std::wstring& szURL);

    // --- ITabForm ---
    WindowHandle hWnd() const override { return reinterpret_cast<WindowHandle>(rt::Window::hWnd()); }
    void Initialize(IuTab* implement, const std::shared_ptr<CTabItem>& item) override;
    void RefreshPage() override;
    void UnloadForm() override { Unload(); }

    // The browser, for the main window's tests and benchmarks; null before load.
    browser::WebView* Browser() const { return wb.get(); }

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnUnload(bool& cancel) override;

private:
    void Picture1_Resize();
    // The browser's place in Picture1, pixels.
    TwipsRect BrowserPlace() const;
    void wb_TitleChange(const std::wstring& text);
    void wb_DocumentComplete();

    rt::PictureBox Picture1;
    browser::WebViewPtr wb;
    IuTab* m_strip = nullptr;
    std::weak_ptr<CTabItem> m_item;
};

}  // namespace corvane
