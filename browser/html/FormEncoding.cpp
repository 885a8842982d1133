#include "browser/html/FormEncoding.h"

namespace browser {
namespace {

void EncodeComponent(std::string& out, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' || (c == '\n')) {
            // Any of CR, LF, CR LF is one line break, sent as CR LF.
            out += "%0D%0A";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            continue;
        }
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '*' || c == '-' ||
            c == '.' || c == '_')
            out += static_cast<char>(c);
        else if (c == ' ')
            out += '+';
        else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

}  // namespace

std::string FormUrlEncode(const std::vector<FormField>& fields)
{
    std::string out;
    for (const auto& [name, value] : fields) {
        if (!out.empty()) out += '&';
        EncodeComponent(out, name);
        out += '=';
        EncodeComponent(out, value);
    }
    return out;
}

std::string FormGetUrl(std::string_view action, std::string_view encoded)
{
    std::string_view fragment;
    if (const auto hash = action.find('#'); hash != std::string_view::npos) {
        fragment = action.substr(hash);
        action = action.substr(0, hash);
    }
    action = action.substr(0, action.find('?'));
    std::string out(action);
    out += '?';
    out += encoded;
    out += fragment;
    return out;
}

}  // namespace browser
