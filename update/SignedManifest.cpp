#include "update/SignedManifest.h"

#include <algorithm>

#include "update/UpdateManifest.h"

namespace corvane {

namespace {

constexpr std::string_view kSignatureKey = "signature=";
constexpr std::size_t kSignatureBytes = 64;
constexpr std::size_t kPublicKeyBytes = 65;  // 0x04, X, Y

// The six bits a letter of the standard alphabet stands for; -1 for anything else.
int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<RawLine> SplitRawLines(std::string_view bytes)
{
    std::vector<RawLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') continue;
        const std::size_t endLength = (i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.substr(start, i - start), bytes.substr(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back({bytes.substr(start), {}});
    return lines;
}

bool IsSignatureLine(std::string_view lineText)
{
    return lineText.starts_with(kSignatureKey);
}

ManifestParts SplitSignature(std::string_view bytes)
{
    ManifestParts parts;
    const std::vector<RawLine> lines = SplitRawLines(bytes);
    std::size_t signatures = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RawLine& line = lines[i];
        // A line that starts with a bare LF and comes right after a dropped signature line whose
        // predecessor ended in a lone CR reads without that LF in the covered text (CR LF is one
        // line end there): it is judged as it will read, so no signature line is ever covered.
        const bool joinsLoneCr =
            !parts.covered.empty() && parts.covered.back() == '\r' && line.text.starts_with('\n');
        const std::string_view reads = joinsLoneCr ? line.text.substr(1) : line.text;
        if (!IsSignatureLine(reads)) {
            parts.covered.append(line.text);
            parts.covered.append(line.end);
            continue;
        }
        ++signatures;
        parts.signature = std::string(reads.substr(kSignatureKey.size()));
        // Only the last line may carry it; anything after it was not signed as written.
        if (i + 1 != lines.size()) parts.shape = SignatureShape::Malformed;
    }
    if (signatures == 0) {
        parts.shape = SignatureShape::Unsigned;
    } else if (signatures > 1 || !IsStrictBase64Of(parts.signature, kSignatureBytes)) {
        parts.shape = SignatureShape::Malformed;
    } else if (parts.shape != SignatureShape::Malformed) {
        parts.shape = SignatureShape::Signed;
    }
    if (parts.shape != SignatureShape::Signed) parts.signature.clear();
    return parts;
}

bool IsStrictBase64Of(std::string_view text, std::size_t bytes)
{
    const std::size_t groups = (bytes + 2) / 3;
    if (text.size() != groups * 4) return false;
    const std::size_t padding = groups * 3 - bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool padPosition = i >= text.size() - padding;
        if (padPosition ? text[i] != '=' : Base64Value(text[i]) < 0) return false;
    }
    // The letter before the pad carries 2 bits per pad that no byte uses. Set, they give the same
    // bytes another spelling, and a check that compares texts would take it for another key.
    const int unusedBits = (1 << (2 * padding)) - 1;
    return padding == 0 || (Base64Value(text[text.size() - padding - 1]) & unusedBits) == 0;
}

std::optional<std::vector<std::uint8_t>> DecodeStrictBase64(std::string_view text)
{
    if (text.size() % 4 != 0) return std::nullopt;
    const std::size_t padding = text.ends_with("==") ? 2 : text.ends_with("=") ? 1 : 0;
    const std::size_t bytes = text.size() / 4 * 3 - padding;
    if (!IsStrictBase64Of(text, bytes)) return std::nullopt;
    // "=" counts as zero bits.
    const auto value = [](char c) { return static_cast<std::uint32_t>(std::max(Base64Value(c), 0)); };
    std::vector<std::uint8_t> out;
    out.reserve(bytes + 2);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const std::uint32_t group = value(text[i]) << 18 | value(text[i + 1]) << 12 | value(text[i + 2]) << 6 |
                                    value(text[i + 3]);
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        out.push_back(static_cast<std::uint8_t>(group >> 8));
        out.push_back(static_cast<std::uint8_t>(group));
    }
    out.resize(bytes);
    return out;
}

std::optional<Sha256Digest> ParseSha256Hex(std::wstring_view text)
{
    Sha256Digest digest{};
    if (text.size() != digest.size() * 2) return std::nullopt;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return digest;
}

std::vector<std::string> ParseKeyList(std::string_view list)
{
    std::vector<std::string> keys;
    while (!list.empty()) {
        const auto separator = list.find_first_of(";,");
        const std::string_view key = TrimBlanks(list.substr(0, separator));
        if (IsStrictBase64Of(key, kPublicKeyBytes)) keys.emplace_back(key);
        if (separator == std::string_view::npos) break;
        list.remove_prefix(separator + 1);
    }
    return keys;
}

CheckedManifest CheckManifest(std::string_view bytes, bool trustsKeys, const SignatureCheck& check)
{
    CheckedManifest result;
    if (bytes.size() > kMaxManifestBytes) {
        result.verdict = ManifestVerdict::TooLarge;
        return result;
    }
    ManifestParts parts = SplitSignature(bytes);
    if (trustsKeys) {
        if (parts.shape != SignatureShape::Signed || !check || !check(parts.covered, parts.signature)) {
            result.verdict = ManifestVerdict::NotVerified;
            return result;
        }
        result.verified = true;
    }
    result.verdict = ManifestVerdict::Accepted;
    result.text = std::move(parts.covered);
    return result;
}

std::optional<std::wstring_view> ManifestField(std::wstring_view line, std::size_t index)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const auto bar = line.find(L'|', start);
        if (bar == std::wstring_view::npos) return std::nullopt;
        start = bar + 1;
    }
    const auto end = line.find(L'|', start);
    return line.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
}

bool EveryFileLineHashed(const std::vector<std::wstring>& lines)
{
    for (const auto& line : lines) {
        if (IsVersionLine(line) || !ManifestField(line, 1)) continue;
        const auto hash = ManifestField(line, 2);
        if (!hash || !ParseSha256Hex(*hash)) return false;
    }
    return true;
}

}  // namespace corvane
