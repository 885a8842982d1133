// Charset detection and decoding to UTF-8; GBK decoding uses glibc's table here (the Windows
// build passes the system's code page 936).

#include <gtest/gtest.h>

#include <iconv.h>

#include "browser/html/Charset.h"
#include "browser/html/Utf8.h"

namespace {

using namespace browser;

char32_t GlibcGbk(unsigned char lead, unsigned char trail)
{
    iconv_t cd = iconv_open("UTF-32LE", "GBK");
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char out[4] = {};
    char* inp = in;
    char* outp = out;
    std::size_t inLeft = 2, outLeft = 4;
    const std::size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) return 0;
    return static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
           static_cast<unsigned char>(out[2]) << 16;
}

TEST(Charset, SniffsBomHeaderAndMeta)
{
    EXPECT_EQ(SniffCharset("<meta charset=gbk>", "text/html; charset=UTF-8"), Charset::Utf8);
    EXPECT_EQ(SniffCharset("x", "text/html; Charset=\"GB2312\""), Charset::Gbk);
    EXPECT_EQ(SniffCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">", ""), Charset::Gbk);
    EXPECT_EQ(SniffCharset("<META CHARSET='iso-8859-1'>", ""), Charset::Windows1252);
    EXPECT_EQ(SniffCharset("\xEF\xBB\xBF<meta charset=gbk>", ""), Charset::Utf8);
    EXPECT_EQ(SniffCharset(std::string(2000, ' ') + "<meta charset=gbk>", ""), Charset::Utf8);
    EXPECT_EQ(SniffCharset("<meta charset=", ""), Charset::Utf8);
    EXPECT_EQ(CharsetParameter("text/html"), "");
}

TEST(Charset, DecodesGbkAndReplacesBadBytes)
{
    // "中文" in GBK, then a lone lead byte at the end.
    EXPECT_EQ(DecodeToUtf8("\xD6\xD0\xCE\xC4!", Charset::Gbk, GlibcGbk), "中文!");
    EXPECT_EQ(DecodeToUtf8("a\xD6", Charset::Gbk, GlibcGbk), "a\uFFFD");
    EXPECT_EQ(DecodeToUtf8("\xD6<b>", Charset::Gbk, GlibcGbk), "\uFFFD<b>");  // markup survives
    EXPECT_EQ(DecodeToUtf8("\x80\xFF", Charset::Gbk, GlibcGbk), "\uFFFD\uFFFD");
    EXPECT_EQ(DecodeToUtf8("\xD6\xD0", Charset::Gbk, nullptr), "\uFFFD");
    EXPECT_EQ(DecodeToUtf8("caf\xE9", Charset::Windows1252, nullptr), "café");
}

TEST(Charset, Utf8IsValidatedAndBomDropped)
{
    EXPECT_EQ(DecodeToUtf8("\xEF\xBB\xBF中", Charset::Gbk, GlibcGbk), "中");
    EXPECT_EQ(DecodeToUtf8("a\xC3(\xE4\xB8\xAD\xED\xA0\x80\xF4\x90\x80\x80\xC0\xAF", Charset::Utf8, nullptr),
              "a\uFFFD(中\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf16Length("a中\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(Utf16Length("\xE4\xB8"), 2u);  // two stray bytes, two replacement characters
}

}  // namespace
