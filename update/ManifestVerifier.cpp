#include "update/ManifestVerifier.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <cstring>

#include "runtime/App.h"
#include "runtime/Handles.h"
#include "runtime/LineInput.h"
#include "runtime/TextFile.h"
#include "update/BuildTime.h"
#include "update/IssuedTime.h"
#include "update/UpdateKeys.h"

namespace corvane {

namespace {

void CloseProvider(BCRYPT_ALG_HANDLE h) { ::BCryptCloseAlgorithmProvider(h, 0); }
void DestroyKey(BCRYPT_KEY_HANDLE h) { ::BCryptDestroyKey(h); }
void DestroyHash(BCRYPT_HASH_HANDLE h) { ::BCryptDestroyHash(h); }

using Provider = rt::UniqueHandle<rt::NullInvalidTraits<BCRYPT_ALG_HANDLE, CloseProvider>>;
using Key = rt::UniqueHandle<rt::NullInvalidTraits<BCRYPT_KEY_HANDLE, DestroyKey>>;
using HashHandle = rt::UniqueHandle<rt::NullInvalidTraits<BCRYPT_HASH_HANDLE, DestroyHash>>;

constexpr NTSTATUS kSuccess = 0;

Provider OpenProvider(LPCWSTR algorithm)
{
    BCRYPT_ALG_HANDLE h = nullptr;
    if (::BCryptOpenAlgorithmProvider(&h, algorithm, nullptr, 0) != kSuccess) return Provider();
    return Provider(h);
}

// SHA-256 fed piece by piece. The hash object's memory is ours: Windows 7 does not allocate it.
class Sha256 {
public:
    Sha256() : m_provider(OpenProvider(BCRYPT_SHA256_ALGORITHM))
    {
        if (!m_provider) return;
        DWORD objectLength = 0;
        ULONG got = 0;
        if (::BCryptGetProperty(m_provider.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectLength),
                                sizeof objectLength, &got, 0) != kSuccess)
            return;
        m_object.resize(objectLength);
        BCRYPT_HASH_HANDLE h = nullptr;
        if (::BCryptCreateHash(m_provider.get(), &h, m_object.data(), objectLength, nullptr, 0, 0) == kSuccess)
            m_hash.reset(h);
    }

    bool Add(const void* data, std::size_t size)
    {
        return m_hash && ::BCryptHashData(m_hash.get(), static_cast<PUCHAR>(const_cast<void*>(data)),
                                          static_cast<ULONG>(size), 0) == kSuccess;
    }

    std::optional<Sha256Digest> Finish()
    {
        Sha256Digest digest{};
        if (!m_hash || ::BCryptFinishHash(m_hash.get(), digest.data(), digest.size(), 0) != kSuccess)
            return std::nullopt;
        return digest;
    }

private:
    Provider m_provider;
    std::vector<UCHAR> m_object;  // declared before the handle that lives in it
    HashHandle m_hash;
};

// Our own decoder, not crypt32's: that library cost the start-up its loading time for two short
// strings, both checked strict already.
std::optional<std::vector<BYTE>> DecodeBase64(std::string_view text)
{
    return DecodeStrictBase64(text);
}

// A trusted key as CNG takes it: the blob header, then X and Y of the uncompressed point.
Key ImportPublicKey(BCRYPT_ALG_HANDLE ecdsa, std::string_view base64)
{
    const auto point = DecodeBase64(base64);
    if (!point || point->size() != 65 || (*point)[0] != 0x04) return Key();
    std::vector<BYTE> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, point->data() + 1, 64);
    BCRYPT_KEY_HANDLE h = nullptr;
    if (::BCryptImportKeyPair(ecdsa, nullptr, BCRYPT_ECCPUBLIC_BLOB, &h, blob.data(), static_cast<ULONG>(blob.size()),
                              0) != kSuccess)
        return Key();
    return Key(h);
}

// At most `limit` + 1 bytes, so that a larger file is known to be larger without reading it.
std::optional<std::string> ReadBounded(const std::wstring& path, std::size_t limit)
{
    rt::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[8192];
    DWORD got = 0;
    while (bytes.size() <= limit && ::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

}  // namespace

std::optional<Sha256Digest> Sha256Of(std::string_view bytes)
{
    Sha256 hash;
    if (!hash.Add(bytes.data(), bytes.size())) return std::nullopt;
    return hash.Finish();
}

std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path)
{
    rt::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    Sha256 hash;
    std::vector<char> buffer(64 * 1024);
    DWORD got = 0;
    for (;;) {
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        if (!hash.Add(buffer.data(), got)) return std::nullopt;
    }
    return hash.Finish();
}

bool VerifySignature(std::string_view message, std::string_view signatureBase64, const std::vector<std::string>& keys)
{
    const auto signature = DecodeBase64(signatureBase64);
    if (!signature || signature->size() != 64) return false;
    const auto digest = Sha256Of(message);
    if (!digest) return false;
    const Provider ecdsa = OpenProvider(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!ecdsa) return false;
    for (const std::string& text : keys) {
        const Key key = ImportPublicKey(ecdsa.get(), text);
        if (!key) continue;
        auto digestBytes = *digest;
        auto signatureBytes = *signature;
        if (::BCryptVerifySignature(key.get(), nullptr, digestBytes.data(), static_cast<ULONG>(digestBytes.size()),
                                    signatureBytes.data(), static_cast<ULONG>(signatureBytes.size()), 0) == kSuccess)
            return true;
    }
    return false;
}

ManifestReading ReadCheckedManifest(const std::wstring& path)
{
    ManifestReading reading;
    const auto bytes = ReadBounded(path, kMaxManifestBytes);
    if (!bytes) return reading;

    const std::vector<std::string>& keys = TrustedUpdateKeys();
    const CheckedManifest checked = CheckManifest(
        *bytes, !keys.empty(),
        [&](std::string_view message, std::string_view signature) { return VerifySignature(message, signature, keys); });
    reading.outcome = ManifestReading::Outcome::Refused;
    if (checked.verdict == ManifestVerdict::TooLarge) {
        rt::App::LogEvent(L"Update manifest refused: larger than " + std::to_wstring(kMaxManifestBytes) + L" bytes");
        return reading;
    }
    if (checked.verdict != ManifestVerdict::Accepted) {
        rt::App::LogEvent(L"Update manifest refused: no valid signature of a trusted key");
        return reading;
    }
    const std::vector<std::string> rawLines = rt::SplitInputLines(checked.text);
    if (checked.verified) {
        const IssuedVerdict issued = JudgeIssued(rawLines, BuildCommitTime());
        if (issued != IssuedVerdict::Fresh) {
            rt::App::LogEvent(issued == IssuedVerdict::Replayed
                                  ? L"Update manifest refused: issued before this build was made"
                                  : L"Update manifest refused: no single valid issued= line");
            return reading;
        }
    }
    std::vector<std::wstring> lines;
    for (const std::string& line : rawLines)
        if (!IsIssuedLine(line)) lines.push_back(rt::FromAnsi(line));
    if (checked.verified && !EveryFileLineHashed(lines)) {
        rt::App::LogEvent(L"Update manifest refused: a file line carries no valid SHA-256");
        return reading;
    }
    reading.outcome = ManifestReading::Outcome::Accepted;
    reading.verified = checked.verified;
    reading.lines = std::move(lines);
    return reading;
}

}  // namespace corvane
