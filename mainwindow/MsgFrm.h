#pragma once
// MsgFrm: the exit confirmation, drawn like the main window (caption strip, close button,
// rounded corners). It writes its answer to the flag it is given and unloads itself; any other
// way of closing it leaves the flag as it was.

#include <memory>

#include "controls/BForm.h"
#include "controls/DialogKeys.h"
#include "controls/iButton.h"
#include "runtime/Form.h"
#include "runtime/Label.h"

namespace corvane {

class MsgFrm : public rt::Form {
public:
    explicit MsgFrm(bool& m_bExit);
    ~MsgFrm() override;

    static constexpr const wchar_t* kQuestion = L"窗口即将关闭，确定要退出游戏？";

    // For the tests: the answer buttons and the caption strip.
    iButton& YesButton() { return iButton1; }
    iButton& NoButton() { return iButton2; }
    iButton& CloseButton() { return closebtn; }
    BForm& CaptionStrip() { return BForm1; }

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Answer(bool exit);
    void LoadAnswerPictures(int dpi);

    bool& m_bExit;
    BForm BForm1;
    iButton closebtn;
    rt::Label Label1;
    iButton iButton1;
    iButton iButton2;
    std::unique_ptr<DialogKeys> m_keys;
};

}  // namespace corvane
