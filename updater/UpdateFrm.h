#pragma once
// UpdateFrm: the updater's only window. It checks the manifest again, fetches every file it
// lists beside its target, one at a time with a progress bar, lets the user cancel, puts the
// whole update in place or nothing of it, and starts the client again at the end.

#include <memory>
#include <string>

#include "controls/BForm.h"
#include "controls/DialogKeys.h"
#include "controls/iButton.h"
#include "net/CKvDownLoadFile.h"
#include "runtime/Form.h"
#include "runtime/Label.h"
#include "updater/KvProgressBar.h"
#include "updater/UpdatePlan.h"

namespace corvane {

class UpdateFrm : public rt::Form {
public:
    explicit UpdateFrm(UpdaterCommand command);

    // Walks the manifest, reports the outcome, starts the client and unloads. Call once the
    // form is shown.
    void Run();

    // How long a replace refused because the file is in use is retried.
    static constexpr DWORD kReplacePatienceMs = 10000;
    // A file's download fails when no byte comes for this long, or when it announces more.
    static constexpr std::uint32_t kStallLimitMs = 60000;
    static constexpr std::int32_t kMaxFileBytes = 256 << 20;

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    void OnQueryUnload(bool& cancel, rt::UnloadMode mode) override;

private:
    // The message for the player (none when empty) and the program to start at the end.
    struct Outcome {
        const wchar_t* message = nullptr;
        unsigned style = 0;
        std::wstring program;
    };
    Outcome WalkManifest();
    bool FetchFile(const UpdateFile& file, bool mustMatchHash);
    void AskToCancel();

    UpdaterCommand m_command;
    std::unique_ptr<CKvDownLoadFile> m_downfile;
    bool m_cancel = false;
    bool m_walking = false;

    BForm BForm1;
    iButton closebtn;
    rt::Label Label1;
    KvProgressBar KvProgressBar1;
    std::unique_ptr<DialogKeys> m_keys;
};

}  // namespace corvane
