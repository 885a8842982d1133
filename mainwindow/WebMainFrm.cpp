#include "mainwindow/WebMainFrm.h"

#include <memory>

namespace corvane {

namespace {

std::unique_ptr<WebMainFrm>& TheMainWindow()
{
    static std::unique_ptr<WebMainFrm> frm;
    return frm;
}

rt::FormDesign MainDesign()
{
    rt::FormDesign d;
    d.className = L"WebMainFrm";
    d.caption = L"LumoraVeldan客户端";
    return d;
}

}  // namespace

WebMainFrm& WebMainFrm::Instance()
{
    auto& frm = TheMainWindow();
    if (!frm) frm.reset(new WebMainFrm());
    return *frm;
}

WebMainFrm* WebMainFrm::IfExists()
{
    return TheMainWindow().get();
}

WebMainFrm::WebMainFrm() : rt::Form(MainDesign()) {}

WebMainFrm::~WebMainFrm() = default;

void WebMainFrm::SetURL(const std::wstring&)
{
    Load();
}

}  // namespace corvane
