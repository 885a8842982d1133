#include <gtest/gtest.h>

#include <string>

#include "browser/html/Parser.h"
#include "browser/layout/ReaderFields.h"
#include "browser/layout/ReaderText.h"

namespace {

using namespace browser;

// The element named "f" (name attribute) below `node`.
const Node* FieldNamedF(const Node& node)
{
    for (const auto& child : node.children()) {
        if (child->IsElement() && child->Attr("name") == "f") return child.get();
        if (const Node* found = FieldNamedF(*child)) return found;
    }
    return nullptr;
}

struct FieldCase {
    const char* html;
    const char* name;
};

TEST(ReaderFields, NamedByLabelThenHintsThenTheTextBeforeIt)
{
    const FieldCase cases[] = {
        // Labels: by id first, wherever the label stands, then the one around the field.
        {"<label for='u'>帐号</label><p><input id='u' name='f' placeholder='请输入'></p>", "帐号"},
        {"<input id='u' name='f'><label for='u'>  登录\n 帐号 </label>", "登录 帐号"},
        {"<label for='x'>别的</label><label for='u'>第一个</label><label for='u'>第二个</label><input id='u' name='f'>",
         "第一个"},
        {"<label>密码 <input type='password' name='f' title='提示'></label>", "密码"},
        {"<label>说明<textarea name='f'>已写的字</textarea></label>", "说明"},
        {"<label>姓名<select><option>甲</option></select><input name='f'></label>", "姓名"},
        {"<label><img src='k.png' alt='钥匙'><input name='f'></label>", "钥匙"},
        // A label naming another element does not name the field inside it.
        {"<label for='other'>别的 <input name='f' placeholder='占位'></label><input id='other'>", "占位"},
        // An empty label counts for nothing.
        {"<label for='u'> &nbsp; </label><input id='u' name='f' title='标题'>", "标题"},
        // An author's own name comes before every label.
        {"<label for='u'>帐号</label><input id='u' name='f' aria-label='玩家帐号'>", "玩家帐号"},
        // Hints: placeholder before title.
        {"<input name='f' placeholder=' 手机号  或邮箱 ' title='标题'>", "手机号 或邮箱"},
        {"<input name='f' title='验证码'>", "验证码"},
        // Pages that label by layout alone: the table cell to the left, or the text before.
        {"<table><tr><td>帐号：</td><td><input name='f'></td></tr></table>", "帐号："},
        {"<table><tr><th>密码</th><td>&nbsp;</td><td><div><input name='f'></div></td></tr></table>", ""},
        {"<table><tr><td><input name='g'></td><td><input name='f'></td></tr></table>", ""},
        {"<form>帐号 <input name='g'><br>密码 <b>（必填）</b> <input name='f'></form>", "密码 （必填）"},
        {"<p>说明</p><input name='f'>", ""},
        {"<input name='g'> <input name='f'>", ""},
        {"<input name='f'>", ""},
    };
    for (const FieldCase& c : cases) {
        const Document doc = ParseHtml(std::string("<body>") + c.html + "</body>");
        const Node* field = FieldNamedF(doc.root());
        ASSERT_NE(field, nullptr) << c.html;
        EXPECT_EQ(FieldName(*field), c.name) << c.html;
    }
}

TEST(ReaderFields, LongNamesAreCutAtAWholeCharacter)
{
    std::string label;
    for (std::size_t i = 0; i < kMaxReaderNameChars + 40; ++i) label += "名";
    const Document doc = ParseHtml("<body><label>" + label + "<input name='f'></label></body>");
    const std::string name = FieldName(*FieldNamedF(doc.root()));
    EXPECT_EQ(name.size(), kMaxReaderNameChars * std::string("名").size());
    EXPECT_EQ(name, label.substr(0, name.size()));

    // A long run of spaces and a name of plain letters: one space, cut to the bound.
    EXPECT_EQ(ReaderName(std::string(kMaxReaderNameChars + 5, 'a')), std::string(kMaxReaderNameChars, 'a'));
    EXPECT_EQ(ReaderName("  "), "");
}

}  // namespace
