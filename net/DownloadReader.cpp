#include "net/DownloadReader.h"

#include <array>

#include "net/CKvDownLoadFile.h"
#include "runtime/App.h"
#include "runtime/Handles.h"

namespace corvane {

namespace {

// How far the reader may write ahead of the Loading events, and how many blocks wake the window's
// thread when it waits for them.
constexpr std::size_t kBlocksAhead = 256;
constexpr std::size_t kBlocksPerWake = 128;
// Emptying a file frees its blocks; in one go that holds Wine's server, and with it every thread
// of every program, for 50 ms and more per 200 MB. An old file is cut back this much at a time.
constexpr LONGLONG kShrinkStep = 4 << 20;

// The file at `path`, made anew or emptied, with the hidden attribute as asked (overwriting a
// file keeps its old attributes on some systems, Wine among them).
rt::KernelHandle OpenEmpty(const std::wstring& path, bool hidden)
{
    const DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    rt::KernelHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, attributes,
                      nullptr));
    if (!file) return file;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.get(), &size)) {
        for (LONGLONG end = size.QuadPart; end > 0;) {
            end = end > kShrinkStep ? end - kShrinkStep : 0;
            LARGE_INTEGER at{};
            at.QuadPart = end;
            if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get())) break;
        }
    }
    ::SetFileAttributesW(path.c_str(), attributes);
    return file;
}

// The reading thread: creates the file, then reads and writes block after block until the end of
// the data, a failure or Stop; at Stop the file is cut back to what the events reported. Every
// call that can block (replacing a large file, a read, a write) is made here, off the window's
// thread.
void ReadToFile(const DownloadReaderJob& job, TransferPipe& pipe)
{
    rt::KernelHandle file = OpenEmpty(job.path, job.hidden);
    if (!file) {
        pipe.Post({TransferNote::CreateFailed, 0, ::GetLastError()});
        pipe.WaitForStop();
        pipe.Finish();
        return;
    }
    pipe.Post({TransferNote::Created});

    std::array<char, CKvDownLoadFile::kBlockSize> buffer;
    std::int64_t written = 0;
    while (!pipe.Stopped()) {
        DWORD want = CKvDownLoadFile::kBlockSize;
        if (job.availableOnly) {
            // Only what has arrived: a full block from a trickle would hold the read past Stop.
            DWORD available = 0;
            if (!::InternetQueryDataAvailable(job.request, &available, 0, 0) || available == 0) break;
            want = available < want ? available : want;
        }
        DWORD got = 0;
        if (!::InternetReadFile(job.request, buffer.data(), want, &got) || got == 0) break;
        DWORD done = 0;
        const BOOL wrote = ::WriteFile(file.get(), buffer.data(), got, &done, nullptr);
        if (!wrote || done != got) {
            pipe.Post({TransferNote::WriteFailed, 0, wrote ? 0 : ::GetLastError()});
            break;
        }
        written += got;
        if (!pipe.Post({TransferNote::Block, got})) break;
    }
    pipe.Post({TransferNote::End});
    const std::int64_t keep = pipe.WaitForStop();
    if (keep >= 0 && keep < written) {
        LARGE_INTEGER at{};
        at.QuadPart = keep;
        if (::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) ::SetEndOfFile(file.get());
    }
    file.reset();
    pipe.Finish();
}

}  // namespace

DownloadReader::DownloadReader(DownloadReaderJob job, const std::int32_t& reported)
    : m_state(std::make_shared<State>(std::move(job), kBlocksAhead, kBlocksPerWake)), m_reported(reported)
{
    m_thread = std::thread([state = m_state] { ReadToFile(state->job, state->pipe); });
}

DownloadReader::~DownloadReader()
{
    Join(false);
}

bool DownloadReader::Join(bool pump)
{
    if (!m_thread.joinable()) return m_created;
    m_state->pipe.Stop(m_reported);
    while (!m_state->pipe.WaitFinished(kLongestHold))
        if (pump) rt::App::DoEvents();
    m_thread.join();
    TakeLeftNotes();
    return m_created;
}

bool DownloadReader::Abandon()
{
    if (!m_thread.joinable()) return m_created;
    m_state->pipe.Stop(m_reported);
    m_thread.detach();
    TakeLeftNotes();
    return m_created;
}

void DownloadReader::TakeLeftNotes()
{
    // What the caller did not take: whether the file was made.
    while (const std::optional<TransferNote> note = m_state->pipe.Take(std::chrono::milliseconds(0))) Saw(*note);
}

void DownloadReader::Saw(const TransferNote& note)
{
    if (note.kind == TransferNote::Created) m_created = true;
}

}  // namespace corvane
