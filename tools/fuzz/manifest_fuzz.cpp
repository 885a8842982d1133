// libFuzzer target for the update manifest: whatever bytes a server, a man in the middle or
// another program of the user leaves in the temporary directory, splitting, the signature's
// shape, the check, the issued time, the version and the updater's plan must neither crash nor
// trip the sanitizers, and what they return must hold the rules the programs rely on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/LineInput.h"
#include "update/IssuedTime.h"
#include "update/SignedManifest.h"
#include "update/UpdateManifest.h"
#include "updater/PlacedFiles.h"
#include "updater/UpdatePlan.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const corvane::ManifestParts parts = corvane::SplitSignature(bytes);
    Require(parts.covered.size() <= bytes.size());
    Require(parts.shape != corvane::SignatureShape::Signed || corvane::IsStrictBase64Of(parts.signature, 64));
    // No line of what the signature covers is a signature line (a bare LF does not start a line).
    Require(parts.covered.find("\rsignature=") == std::string::npos && parts.covered.find("\r\nsignature=") == std::string::npos &&
            !parts.covered.starts_with("signature="));

    // Every key of the check is exercised: with and without keys, a signature that holds or not.
    std::string seen;
    const corvane::SignatureCheck check = [&](std::string_view message, std::string_view) {
        seen = message;
        return size % 2 == 0;
    };
    const corvane::CheckedManifest checked = corvane::CheckManifest(bytes, size % 3 == 0, check);
    if (checked.verdict == corvane::ManifestVerdict::Accepted) Require(checked.text == parts.covered);
    if (checked.verified) Require(seen == parts.covered);

    // The issued line: only one well-formed line no earlier than the build passes; the programs
    // then read the lines without it.
    const std::vector<std::string> rawLines = rt::SplitInputLines(checked.text);
    const std::optional<corvane::UtcSeconds> builtAt =
        size % 5 == 0 ? std::nullopt : std::optional<corvane::UtcSeconds>(1796759696);
    const corvane::IssuedVerdict issued = corvane::JudgeIssued(rawLines, builtAt);
    std::vector<std::string_view> issuedLines;
    for (const std::string& line : rawLines)
        if (corvane::IsIssuedLine(line)) issuedLines.push_back(line);
    if (issuedLines.empty()) Require(issued == corvane::IssuedVerdict::Missing);
    if (issuedLines.size() > 1) Require(issued == corvane::IssuedVerdict::Malformed);
    if (issued == corvane::IssuedVerdict::Fresh) {
        Require(issuedLines.size() == 1);
        const auto time = corvane::ParseUtcTime(issuedLines[0].substr(7));
        Require(time && (!builtAt || *time >= *builtAt));
    }
    if (const auto time = corvane::ParseUtcTime(bytes)) Require(*time >= 0 && *time <= 253402300799);

    std::vector<std::wstring> lines;
    for (const std::string& line : rawLines)
        if (!corvane::IsIssuedLine(line)) lines.emplace_back(line.begin(), line.end());
    (void)corvane::ManifestVersion(lines);
    const bool hashed = corvane::EveryFileLineHashed(lines);
    for (const corvane::UpdateFile& file : corvane::PlanUpdateFiles(lines, L"C:\\Games\\")) {
        Require(corvane::IsSafeFileName(file.name));
        Require(file.target == L"C:\\Games\\" + file.name);
        if (hashed) Require(file.sha256.has_value());
    }
    (void)corvane::ParseKeyList(bytes);

    // The same bytes as the record of placed files (UTF-16 code units, as the updater keeps it):
    // only safe names come out, each once, and they read back as written.
    std::wstring record;
    for (std::size_t i = 0; i + 1 < size; i += 2) record += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    const std::vector<std::wstring> placed = corvane::ParsePlacedFiles(record);
    for (const std::wstring& name : placed)
        Require(corvane::IsSafeFileName(name) && name.size() <= corvane::kMaxRecordedName);
    Require(corvane::ParsePlacedFiles(corvane::PlacedFilesText(placed)) == placed);
    return 0;
}
