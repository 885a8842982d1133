#pragma once
// The login window: the portal's login page over its background window. The main window shows it
// again for a further login; a successful login hands the game URL to WebMainFrm::SetURL.

#include "runtime/Form.h"

namespace corvane {

class LoginFrm : public rt::Form {
public:
    // The one login window, created (not loaded) on first use.
    static LoginFrm& Instance();
    static LoginFrm* IfExists();

    ~LoginFrm() override;

private:
    LoginFrm();
};

}  // namespace corvane
