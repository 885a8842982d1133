#pragma once
// The staged replace on the real file system. A file in use (a client that is still exiting) is
// waited for, with the message loop running, for a bounded time before a move counts as failed.

#include <windows.h>

#include "updater/StagedReplace.h"

namespace corvane {

class PlatformFileSystem : public UpdateFileSystem {
public:
    explicit PlatformFileSystem(DWORD patienceMs) : m_patienceMs(patienceMs) {}

    bool Exists(const std::wstring& path) override;
    bool Move(const std::wstring& from, const std::wstring& to) override;
    bool Remove(const std::wstring& path) override;
    bool Flush(const std::wstring& path) override;
    std::vector<std::wstring> List(const std::wstring& directory) override;
    bool WriteDurably(const std::wstring& path, const std::wstring& text) override;
    std::optional<std::wstring> ReadText(const std::wstring& path, std::size_t maxChars) override;

private:
    DWORD m_patienceMs;
};

}  // namespace corvane
