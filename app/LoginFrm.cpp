#include "app/LoginFrm.h"

#include <memory>

namespace corvane {

namespace {

std::unique_ptr<LoginFrm>& TheLoginWindow()
{
    static std::unique_ptr<LoginFrm> frm;
    return frm;
}

rt::FormDesign LoginDesign()
{
    rt::FormDesign d;
    d.className = L"LoginFrm";
    d.caption = L"LumoraVeldan客户端";
    return d;
}

}  // namespace

LoginFrm& LoginFrm::Instance()
{
    auto& frm = TheLoginWindow();
    if (!frm) frm.reset(new LoginFrm());
    return *frm;
}

LoginFrm* LoginFrm::IfExists()
{
    return TheLoginWindow().get();
}

LoginFrm::LoginFrm() : rt::Form(LoginDesign()) {}

LoginFrm::~LoginFrm() = default;

}  // namespace corvane
