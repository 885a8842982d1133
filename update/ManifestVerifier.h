#pragma once
// The platform's cryptography for updates (CNG): SHA-256 and ECDSA P-256 signature checks, and
// the manifest as the check and the updater may act on it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/SignedManifest.h"

namespace corvane {

std::optional<Sha256Digest> Sha256Of(std::string_view bytes);
// nullopt when the file cannot be read.
std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path);

// True when one of `keys` (base64 uncompressed points) signed the SHA-256 of `message`.
bool VerifySignature(std::string_view message, std::string_view signatureBase64, const std::vector<std::string>& keys);

// Shown by the check on demand and by the updater when the manifest is refused.
inline constexpr const wchar_t* kUnverifiedUpdateText = L"无法验证更新信息，本次不进行更新！";

struct ManifestReading {
    enum class Outcome { Missing, Refused, Accepted } outcome = Outcome::Missing;
    bool verified = false;             // signed by a trusted key
    std::vector<std::wstring> lines;   // Accepted only, signature and issued lines removed
};

// Reads the manifest at `path` and checks it against the keys this build trusts: at most the
// size bound is read; with keys, an unsigned, malformed or wrongly signed manifest, one with a
// file line without a hash, or one not issued after this build's commit (IssuedTime.h), is
// refused. Each refusal is written to the event log.
ManifestReading ReadCheckedManifest(const std::wstring& path);

}  // namespace corvane
