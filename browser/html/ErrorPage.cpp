#include "browser/html/ErrorPage.h"

#include "browser/html/Parser.h"
#include "browser/html/Utf8.h"

#include <new>

namespace browser {
namespace {

std::string Escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// At most `limit` code points, cut on a character boundary.
std::string Shorten(std::string_view text, std::size_t limit)
{
    std::size_t pos = 0, count = 0;
    while (pos < text.size() && count < limit) NextCodePoint(text, pos), ++count;
    std::string out = SanitizeUtf8(text.substr(0, pos));
    if (pos < text.size()) out += "...";
    return out;
}

}  // namespace

std::string ErrorPageHtml(std::string_view url, LoadFailure failure, int httpStatus)
{
    std::string reason;
    switch (failure) {
    case LoadFailure::NoConnection: reason = "无法连接到服务器。"; break;
    case LoadFailure::Refused: reason = "服务器拒绝了连接。"; break;
    case LoadFailure::HttpError: reason = "服务器返回错误 " + std::to_string(httpStatus) + "。"; break;
    case LoadFailure::UnsupportedScheme: reason = "不支持此地址的协议。"; break;
    case LoadFailure::BadAddress: reason = "地址无效。"; break;
    case LoadFailure::TooLarge: reason = "此页过大，无法显示。"; break;
    }
    return "<html><head><title>无法显示此页</title></head><body bgcolor=\"#FFFFFF\">"
           "<h3>无法显示此页</h3><p>" + reason + "</p><p><small>" + Escape(Shorten(url, 200)) +
           "</small></p></body></html>";
}

Document ParsePageOrErrorPage(std::string_view url, std::string_view html, const PageParser& parse)
{
    try {
        return parse(html);
    } catch (const std::bad_alloc&) {
    }
    return ParseHtml(ErrorPageHtml(url, LoadFailure::TooLarge));
}

}  // namespace browser
