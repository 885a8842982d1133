// The updater. For now it only shows its window for a moment and ends.

#include <windows.h>

#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/Form.h"
#include "runtime/Timer.h"

namespace {

class UpdateFrm : public rt::Form {
public:
    UpdateFrm() : rt::Form(Design()) {}

protected:
    void OnLoad() override
    {
        m_close.SetHandler([this] { Unload(); });
        m_close.Start(2000);
    }

private:
    static rt::FormDesign Design()
    {
        rt::FormDesign d;
        d.className = L"UpdateFrm";
        d.caption = L"更新";
        d.clientWidth = 4575;
        d.clientHeight = 2160;
        d.backColor = 0xFFFFFF;
        d.iconResource = IDI_PROGRAM;
        return d;
    }

    rt::Timer m_close;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    UpdateFrm form;
    form.Show();
    return rt::App::Run();
}
