#pragma once
// The main game window: the game pages in tabs, the caption strip and its commands.
// The login window reaches it only through SetURL and Show; the update check through m_bExit
// and Unload.

#include <string>

#include "runtime/Form.h"

namespace corvane {

class WebMainFrm : public rt::Form {
public:
    // The one main window, created (not loaded) on first use.
    static WebMainFrm& Instance();
    // The main window when it exists, else nullptr; asking never creates it.
    static WebMainFrm* IfExists();

    ~WebMainFrm() override;

    // Opens strURL as a game page (loading the window first when needed).
    void SetURL(const std::wstring& strURL);

    // While true, closing the window needs no confirmation.
    bool m_bExit = false;

private:
    WebMainFrm();
};

}  // namespace corvane
