#pragma once
// The login window: the portal's login page in a browser, laid colour-keyed over the picture of
// its background window (LoginBgFrm, its owner). The page talks back through command URLs: close
// the client, minimise the pair, or start the game, which hands the game URL to
// WebMainFrm::SetURL. The main window shows it again for a further login.

#include <optional>
#include <string>

#include "app/ClientFront.h"
#include "browser/WebView.h"
#include "login/LoginCommands.h"
#include "runtime/Form.h"

namespace corvane {

class LoginFrm : public rt::Form {
public:
    // The one login window, created (not loaded) on first use.
    static LoginFrm& Instance();
    static LoginFrm* IfExists();

    ~LoginFrm() override;

    // Restores a minimised pair and brings it to the front with the page taking the keys.
    void BringPairBack();

protected:
    void OnLoad() override;
    void OnQueryUnload(bool& cancel, rt::UnloadMode mode) override;
    void OnUnload(bool& cancel) override;
    void OnMouseDown(int button, int shift, double x, double y) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LoginFrm();

    void WriteIconFile();
    void WebBrowser1_BeforeNavigate2(const std::wstring& url, bool& cancel);
    void WebBrowser1_DocumentComplete(const std::wstring& url, bool topLevel);
    void ShowLoginPair();
    void FocusPage();
    void RunHandOver();

    browser::WebViewPtr WebBrowser1;
    // A close or start command waiting for the browser's event to return: the browser must not
    // be destroyed inside its own event.
    std::optional<LoginNavigation> m_handOver;
    // The pair closes because a further login's page was too short: the player is told why.
    bool m_noConnection = false;
    // Offered once the pair has shown: a later launch of the client brings it back.
    FrontOffer m_front;
};

}  // namespace corvane
