// The signed manifest's bytes: what the signature covers, where it may stand, and the fields a
// verified manifest must carry. The signer in tools/signing computes the same covered bytes
// (SignerAgreement).

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "update/SignedManifest.h"

namespace {

using namespace corvane;

const std::string kSig(86, 'A');
const std::string kGoodSig = kSig + "==";  // 64 bytes in base64

TEST(SignedManifest, CoveredBytesAndShape)
{
    struct Case {
        const char* name;
        std::string bytes;
        SignatureShape shape;
        std::string covered;
    };
    const Case cases[] = {
        {"unsigned", "version=1.2.0\r\nA|u/a\r\n", SignatureShape::Unsigned, "version=1.2.0\r\nA|u/a\r\n"},
        {"last, CR LF", "version=1\r\nA|u/a\r\nsignature=" + kGoodSig + "\r\n", SignatureShape::Signed,
         "version=1\r\nA|u/a\r\n"},
        {"last, lone CR", "version=1\rA|u/a\rsignature=" + kGoodSig + "\r", SignatureShape::Signed,
         "version=1\rA|u/a\r"},
        {"last without a line end", "version=1\r\nsignature=" + kGoodSig, SignatureShape::Signed, "version=1\r\n"},
        {"line ends mixed, kept as stored", "a\rb\r\nc\r\nsignature=" + kGoodSig, SignatureShape::Signed,
         "a\rb\r\nc\r\n"},
        {"duplicate lines both covered", "A|u/a\r\nA|u/a\r\nsignature=" + kGoodSig, SignatureShape::Signed,
         "A|u/a\r\nA|u/a\r\n"},
        {"a bare LF does not end a line", "a\nsignature=" + kGoodSig, SignatureShape::Unsigned,
         "a\nsignature=" + kGoodSig},
        {"first line", "signature=" + kGoodSig + "\r\nversion=1\r\n", SignatureShape::Malformed, "version=1\r\n"},
        {"middle", "version=1\r\nsignature=" + kGoodSig + "\r\nA|u/a\r\n", SignatureShape::Malformed,
         "version=1\r\nA|u/a\r\n"},
        {"two", "v\r\nsignature=" + kGoodSig + "\r\nsignature=" + kGoodSig + "\r\n", SignatureShape::Malformed,
         "v\r\n"},
        {"key in another case is a plain line", "v\r\nSignature=" + kGoodSig, SignatureShape::Unsigned,
         "v\r\nSignature=" + kGoodSig},
        {"empty value", "v\r\nsignature=\r\n", SignatureShape::Malformed, "v\r\n"},
        // Dropping the first signature line puts the lone CR before the bare LF: the last line then
        // reads as a signature line and goes too.
        {"LF line after a dropped one, judged as it reads", "v\rsignature=" + kGoodSig + "\r\n\nsignature=" + kGoodSig,
         SignatureShape::Malformed, "v\r"},
        {"LF line after a dropped one, kept as stored", "v\rsignature=" + kGoodSig + "\r\n\nA|u/a",
         SignatureShape::Malformed, "v\r\nA|u/a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ManifestParts parts = SplitSignature(c.bytes);
        EXPECT_EQ(parts.shape, c.shape);
        EXPECT_EQ(parts.covered, c.covered);
        EXPECT_EQ(parts.signature, c.shape == SignatureShape::Signed ? kGoodSig : "");
    }
}

TEST(SignedManifest, StrictBase64)
{
    const std::pair<std::string, bool> signatures[] = {
        {kGoodSig, true},
        {kSig + "=", false},           // short
        {kSig + "A=", false},          // one pad where two belong
        {kSig + "===", false},         // long
        {std::string(84, 'A') + "A===", false},
        {kSig.substr(1) + " ==", false},  // a blank
        {kSig.substr(1) + "\n==", false},
        {kSig.substr(1) + "-==", false},  // URL-safe alphabet
        {kSig.substr(2) + "=A==", false},
        {std::string(88, 'A'), false},
    };
    for (const auto& [text, ok] : signatures) EXPECT_EQ(IsStrictBase64Of(text, 64), ok) << text;
    // A 65-byte key: one pad.
    EXPECT_TRUE(IsStrictBase64Of("B" + std::string(86, 'w') + "=", 65));
    EXPECT_FALSE(IsStrictBase64Of("B" + std::string(85, 'w') + "==", 65));
}

TEST(SignedManifest, StrictBase64Decoding)
{
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        std::string text;
        std::optional<Bytes> bytes;
    } cases[] = {
        {"", Bytes{}},
        {"TQ==", Bytes{'M'}},
        {"TWE=", Bytes{'M', 'a'}},
        {"TWFu", Bytes{'M', 'a', 'n'}},
        {"+/+/", Bytes{0xFB, 0xFF, 0xBF}},
        {"AAEC/w==", Bytes{0, 1, 2, 0xFF}},
        {"TWFu\n", std::nullopt},
        {"TWF", std::nullopt},
        {"TQ=A", std::nullopt},
        {"T===", std::nullopt},
        {"=QQQ", std::nullopt},
        {"TW-u", std::nullopt},
        {"TW u", std::nullopt},
        {"TQ==TWFu", std::nullopt},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(DecodeStrictBase64(text), bytes) << text;
    // One spelling per byte string: before the pad only letters whose unused low bits are zero.
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    int beforeOne = 0, beforeTwo = 0;
    for (const char c : letters) {
        beforeOne += DecodeStrictBase64(std::string("TW") + c + "=").has_value();
        beforeTwo += IsStrictBase64Of(std::string("T") + c + "==", 1);
    }
    EXPECT_EQ(std::pair(beforeOne, beforeTwo), std::pair(16, 4));
    // What the verifier decodes: a 64-byte signature and a 65-byte key.
    EXPECT_EQ(DecodeStrictBase64(kGoodSig), Bytes(64, 0));
    EXPECT_EQ(DecodeStrictBase64("B" + std::string(86, 'A') + "=")->size(), 65u);
}

TEST(SignedManifest, KeyListAndHashFields)
{
    const std::string key1 = "B" + std::string(86, 'g') + "=";
    const std::string key2 = "B" + std::string(86, 'w') + "=";
    const std::string key2Respelled = "B" + std::string(86, 'w').substr(1) + "x=";
    EXPECT_EQ(ParseKeyList(""), std::vector<std::string>{});
    EXPECT_EQ(ParseKeyList(key1), std::vector<std::string>{key1});
    EXPECT_EQ(ParseKeyList(" " + key1 + " ;" + key2 + ","), (std::vector<std::string>{key1, key2}));
    EXPECT_EQ(ParseKeyList("junk;" + key2 + ";" + key1.substr(1)), std::vector<std::string>{key2});
    EXPECT_EQ(ParseKeyList(key2Respelled + ";" + key1), std::vector<std::string>{key1});

    const std::wstring hex = L"00112233445566778899aabbccddeeffAABBCCDDEEFF00112233445566778899";
    const auto digest = ParseSha256Hex(hex);
    ASSERT_TRUE(digest);
    EXPECT_EQ((*digest)[0], 0x00);
    EXPECT_EQ((*digest)[5], 0x55);
    EXPECT_EQ((*digest)[16], 0xAA);
    EXPECT_EQ((*digest)[31], 0x99);
    for (const std::wstring& bad : {hex.substr(1), hex + L"0", L" " + hex.substr(1), hex.substr(1) + L"g",
                                    hex.substr(1) + L"\u0660", std::wstring()})
        EXPECT_FALSE(ParseSha256Hex(bad));

    const std::wstring h = L"|" + hex;
    EXPECT_TRUE(EveryFileLineHashed({L"version=1.2.0", L"a|http://h/a" + h, L"b|http://h/b" + h + L"|more", L"",
                                     L"no field one"}));
    EXPECT_FALSE(EveryFileLineHashed({L"a|http://h/a" + h, L"b|http://h/b"}));
    EXPECT_FALSE(EveryFileLineHashed({L"b|http://h/b|" + hex.substr(2)}));
    EXPECT_FALSE(EveryFileLineHashed({L"b|http://h/b||" + hex}));
}

TEST(SignedManifest, CheckDecidesWithAndWithoutKeys)
{
    const std::string signedBytes = "version=1.2.0\r\nA|u/a\r\nsignature=" + kGoodSig + "\r\n";
    std::string seen;
    const SignatureCheck accept = [&](std::string_view message, std::string_view signature) {
        seen = std::string(message) + "#" + std::string(signature);
        return true;
    };
    const SignatureCheck reject = [](std::string_view, std::string_view) { return false; };

    auto ok = CheckManifest(signedBytes, true, accept);
    EXPECT_EQ(ok.verdict, ManifestVerdict::Accepted);
    EXPECT_TRUE(ok.verified);
    EXPECT_EQ(ok.text, "version=1.2.0\r\nA|u/a\r\n");
    EXPECT_EQ(seen, "version=1.2.0\r\nA|u/a\r\n#" + kGoodSig);

    EXPECT_EQ(CheckManifest(signedBytes, true, reject).verdict, ManifestVerdict::NotVerified);
    EXPECT_EQ(CheckManifest("version=1.2.0\r\n", true, accept).verdict, ManifestVerdict::NotVerified);
    EXPECT_EQ(CheckManifest("signature=" + kGoodSig + "\r\nv\r\n", true, accept).verdict, ManifestVerdict::NotVerified);
    EXPECT_TRUE(CheckManifest(signedBytes, true, accept).text.find("signature") == std::string::npos);

    // A build without keys reads what it gets, without its signature line.
    auto unsignedOk = CheckManifest("version=1.2.0\r\nA|u/a\r\n", false, reject);
    EXPECT_EQ(unsignedOk.verdict, ManifestVerdict::Accepted);
    EXPECT_FALSE(unsignedOk.verified);
    EXPECT_EQ(CheckManifest(signedBytes, false, reject).text, "version=1.2.0\r\nA|u/a\r\n");

    // The size bound holds for both.
    const std::string big = "version=1\r\n" + std::string(kMaxManifestBytes, '\r');
    EXPECT_EQ(CheckManifest(big, false, accept).verdict, ManifestVerdict::TooLarge);
    EXPECT_EQ(CheckManifest(big.substr(0, kMaxManifestBytes), false, accept).verdict, ManifestVerdict::Accepted);
}

// The Python signer and this reader agree on the covered bytes of awkward manifests.
TEST(SignedManifest, SignerAgreement)
{
    const std::string samples[] = {
        "version=1.2.0\r\nA|u/a\r\nsignature=" + kGoodSig + "\r\n",
        "a\rb\r\n\r\nsignature=" + kGoodSig,
        "x\ny\r\rsignature=" + kGoodSig + "\r\nz",
        "signature=1\r\nsignature=2\r\n",
        "v\rsignature=1\r\n\nsignature=2",
        "no line end at all",
        "",
    };
    const std::string path = ::testing::TempDir() + "covered-sample.txt";
    for (const std::string& sample : samples) {
        std::ofstream(path, std::ios::binary) << sample;
        const std::string command = "/usr/bin/python3 " CORVANE_SOURCE_DIR "/tools/sign-manifest covered " + path;
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string fromPython;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) fromPython.append(buffer, n);
        ASSERT_EQ(::pclose(pipe), 0);
        EXPECT_EQ(fromPython, SplitSignature(sample).covered) << sample;
    }
}

}  // namespace
