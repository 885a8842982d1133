#pragma once
// The signed update manifest. A manifest may carry one line
//
//     signature=<base64 of the 64-byte ECDSA P-256 signature r||s>
//
// over the SHA-256 of every other line exactly as stored, each with its own line end (CR LF or a
// lone CR; a bare LF does not end a line), in order; a last line without a line end counts as
// it is. The signing tool always writes the signature as the last line, so a manifest with a
// signature line anywhere else, or with two, was not made by it and is refused. A signed
// manifest's file lines carry a third field, the SHA-256 of the file in 64 hex digits:
//
//     name|url|sha256
//
// and one line issued= with the time it was signed (IssuedTime.h). Everything here works on the
// manifest's bytes; checking the signature itself is the platform's (ManifestVerifier).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// A manifest larger than this is refused without being read: a real one holds a few lines.
inline constexpr std::size_t kMaxManifestBytes = 64 * 1024;

using Sha256Digest = std::array<std::uint8_t, 32>;

struct RawLine {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\r" or empty (the last line only)
};

// The manifest's lines with their line ends, as the line input of the program splits them.
std::vector<RawLine> SplitRawLines(std::string_view bytes);

// A line that starts with "signature=" (exact case).
bool IsSignatureLine(std::string_view lineText);

enum class SignatureShape {
    Unsigned,   // no signature line
    Signed,     // one signature line, the last, with a well-formed value
    Malformed,  // two or more, one that is not last, or a value that is not 64 bytes in base64
};

struct ManifestParts {
    SignatureShape shape = SignatureShape::Unsigned;
    std::string covered;    // every line but the signature lines, with their line ends
    std::string signature;  // the signature's base64 text when Signed
};

ManifestParts SplitSignature(std::string_view bytes);

// Strict base64 of exactly `bytes` bytes: the standard alphabet, "=" padding to a multiple of
// four, no blanks or line breaks, and the bits of the last letter that no byte uses zero, so
// that each byte string has one spelling. The platform's decoder is lenient; this is not.
bool IsStrictBase64Of(std::string_view text, std::size_t bytes);
// The bytes of strict base64 text of any length (as above); nullopt for anything else.
std::optional<std::vector<std::uint8_t>> DecodeStrictBase64(std::string_view text);

// A hash field: exactly 64 hex digits, either case.
std::optional<Sha256Digest> ParseSha256Hex(std::wstring_view text);

// The trusted public keys as the build carries them: base64 of the 65-byte uncompressed P-256
// point (0x04, X, Y), separated by ";" or ",", blanks around them ignored. Texts that are not
// keys are dropped.
std::vector<std::string> ParseKeyList(std::string_view list);

enum class ManifestVerdict {
    Accepted,     // signed and verified; or the build trusts no key
    TooLarge,
    NotVerified,  // unsigned, malformed or a wrong signature
};

struct CheckedManifest {
    ManifestVerdict verdict = ManifestVerdict::NotVerified;
    bool verified = false;            // a signature was checked (false for a build without keys)
    std::string text;                 // the bytes to act on, signature lines removed (Accepted only)
};

// Checks the signature against the message (the covered bytes) and the base64 signature text.
using SignatureCheck = std::function<bool(std::string_view message, std::string_view signatureBase64)>;

// What the check and the updater may act on. With no trusted keys every manifest within the size
// bound is accepted as it is (a portal that does not sign yet); with keys only a manifest whose
// signature `check` confirms. The file lines' hashes are checked once the lines are text
// (EveryFileLineHashed).
CheckedManifest CheckManifest(std::string_view bytes, bool trustsKeys, const SignatureCheck& check);

// Of a verified manifest's lines: every line the updater would fetch (not a version line, with a
// field 1) carries a valid hash in field 2.
bool EveryFileLineHashed(const std::vector<std::wstring>& lines);

// Field `index` of a "|"-separated line; nullopt when it has fewer fields.
std::optional<std::wstring_view> ManifestField(std::wstring_view line, std::size_t index);

}  // namespace corvane
