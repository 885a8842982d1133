// The bounds on game pages and DDE execute commands from other programs, and where a game page
// may go.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/GamePageLimits.h"

namespace {

using browser::NavigationKind;
using corvane::DdeCommandQueue;
using corvane::GamePageStep;
using corvane::kMaxGamePages;
using corvane::NextGamePageStep;

std::vector<unsigned char> Utf16(const std::u16string& text, bool terminator = true)
{
    std::vector<unsigned char> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    if (terminator) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

TEST(GamePageLimits, AnOpenPageIsSelectedANewOneOpensUpToTheLimit)
{
    struct Case {
        long existingIndex;
        long openPages;
        GamePageStep step;
    } cases[] = {
        {-1, 0, GamePageStep::Open},
        {-1, kMaxGamePages - 1, GamePageStep::Open},
        {-1, kMaxGamePages, GamePageStep::Refuse},
        {-1, kMaxGamePages + 5, GamePageStep::Refuse},
        {0, 1, GamePageStep::Select},
        {kMaxGamePages - 1, kMaxGamePages, GamePageStep::Select},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextGamePageStep(c.existingIndex, c.openPages), c.step) << c.existingIndex << " " << c.openPages;
}

TEST(DdeCommands, TextUpToTheFirstNulWithinTheUrlLimit)
{
    struct Case {
        std::vector<unsigned char> bytes;
        bool accepted;
        std::wstring text;
    } cases[] = {
        {Utf16(u"http://h/game/"), true, L"http://h/game/"},
        {Utf16(u"http://h/游戏"), true, L"http://h/游戏"},
        {Utf16(u"http://h/a", false), true, L"http://h/a"},
        {Utf16(u"http://h/a\0http://h/b"), true, L"http://h/a"},
        {{}, true, L""},
        {{'h'}, true, L""},  // half a character
        {Utf16(std::u16string(corvane::kMaxGameUrlLength, u'a')), true,
         std::wstring(corvane::kMaxGameUrlLength, L'a')},
        {Utf16(std::u16string(corvane::kMaxGameUrlLength + 1, u'a')), false, L""},
        {Utf16(std::u16string(1u << 20, u'a')), false, L""},
    };
    for (const Case& c : cases) {
        DdeCommandQueue queue;
        EXPECT_EQ(DdeCommandQueue::Fits(c.bytes.size()), c.accepted) << c.bytes.size();
        EXPECT_EQ(queue.Accept(c.bytes), c.accepted) << c.bytes.size();
        const std::vector<std::wstring> taken = queue.TakeAll();
        if (!c.accepted) {
            EXPECT_TRUE(taken.empty());
            continue;
        }
        ASSERT_EQ(taken.size(), 1u);
        EXPECT_EQ(taken[0], c.text);
    }
}

TEST(DdeCommands, AtMostAsManyWaitAsPagesCanOpenAndTakingEmptiesTheQueue)
{
    DdeCommandQueue queue;
    for (long i = 0; i < kMaxGamePages; ++i) ASSERT_TRUE(queue.Accept(Utf16(u"http://h/" + std::u16string(1, u'a' + i % 26))));
    EXPECT_FALSE(queue.Accept(Utf16(u"http://h/late")));
    const std::vector<std::wstring> taken = queue.TakeAll();
    ASSERT_EQ(taken.size(), static_cast<std::size_t>(kMaxGamePages));
    EXPECT_EQ(taken.front(), L"http://h/a") << "in the order they came";
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_TRUE(queue.Accept(Utf16(u"http://h/next")));
}

// A game page goes only to web addresses, whatever its script, links or frames ask. Its own page
// may also go to the empty first page and run its script links; a frame may be empty; a window
// it asks for, which opens in its place, is a web address and nothing else.
TEST(GamePageRule, WebAddressesOnlyAndScriptOnlyInThePageItself)
{
    struct Case {
        const wchar_t* url;
        bool page, frame, window;
    };
    const Case cases[] = {
        {L"http://portal.example/game/?a=1", true, true, true},
        {L"HTTPS://portal.example:8443/g", true, true, true},
        {L"about:blank", true, true, false},
        {L"javascript:void(0)", true, false, false},  // runs in the page; where it goes comes back here
        {L"JavaScript:alert(document.cookie)", true, false, false},
        {L"file:///C:/Windows/win.ini", false, false, false},
        {L"file://host/share/x.html", false, false, false},
        {L"\\\\host\\share\\x.html", false, false, false},
        {L"res://ieframe.dll/navcancl.htm", false, false, false},
        {L"vbscript:x", false, false, false},
        {L"http://user:pw@portal.example/", false, false, false},
        {L"app://loadgame|http://portal.example/", false, false, false},
        {L"about:blank#x", false, false, false},
    };
    for (const Case& c : cases) {
        const std::wstring url = c.url;
        const std::string shown(url.begin(), url.end());
        EXPECT_EQ(corvane::GamePageMayGo(url, NavigationKind::TopLevel), c.page) << shown;
        EXPECT_EQ(corvane::GamePageMayGo(url, NavigationKind::Frame), c.frame) << shown;
        EXPECT_EQ(corvane::GamePageMayGo(url, NavigationKind::NewWindow), c.window) << shown;
    }
}

}  // namespace
