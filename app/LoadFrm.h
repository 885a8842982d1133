#pragma once
// The splash window and the program's start: it decides whether the program may run at all,
// handles the "/web" switch, shows the splash picture and loads the login window behind it. The
// login window unloads it once the login page has arrived.

#include <functional>
#include <optional>
#include <string>

#include "app/LayeredPng.h"
#include "app/PngPrefetch.h"
#include "runtime/Form.h"

namespace corvane {

class LoadFrm : public rt::Form {
public:
    // `loadLogin` loads the login window, hidden, once the splash shows.
    explicit LoadFrm(std::function<void()> loadLogin);
    ~LoadFrm() override;

    // The splash while its object lives (loaded or not), else nullptr.
    static LoadFrm* IfExists();

protected:
    void OnInitialize() override;
    void OnLoad() override;
    void OnUnload(bool& cancel) override;

private:
    // Declared first: it outlives the painter, whose picture it may still be decoding.
    std::optional<PngPrefetch> m_pictures;
    LayeredPngPainter m_splash;
    std::function<void()> m_loadLogin;
};

// The one switch of the command line: exactly "/web", nothing else.
bool IsWebSwitch(const std::wstring& command);

}  // namespace corvane
