#include "runtime/PropertyBag.h"

#include <cwchar>

namespace rt {

PropertyValue PropertyBag::Read(std::wstring_view name, const PropertyValue& defaultValue)
{
    m_reads.emplace_back(name);
    auto it = m_values.find(name);
    if (it == m_values.end() || it->second.index() != defaultValue.index()) return defaultValue;
    return it->second;
}

bool PropertyBag::ReadBool(std::wstring_view name, bool defaultValue)
{
    return std::get<bool>(Read(name, defaultValue));
}

std::int32_t PropertyBag::ReadInt(std::wstring_view name, std::int32_t defaultValue)
{
    return std::get<std::int32_t>(Read(name, defaultValue));
}

std::wstring PropertyBag::ReadString(std::wstring_view name, std::wstring_view defaultValue)
{
    return std::get<std::wstring>(Read(name, std::wstring(defaultValue)));
}

void PropertyBag::Write(std::wstring_view name, const PropertyValue& value,
                        const std::optional<PropertyValue>& defaultValue)
{
    m_writes.emplace_back(name);
    if (defaultValue && *defaultValue == value) {
        if (auto it = m_values.find(name); it != m_values.end()) m_values.erase(it);
        return;
    }
    m_values.insert_or_assign(std::wstring(name), value);
}

bool PropertyBag::Contains(std::wstring_view name) const
{
    return m_values.find(name) != m_values.end();
}

void PropertyBag::ClearJournal()
{
    m_reads.clear();
    m_writes.clear();
}

namespace {

std::wstring Quote(const std::wstring& text)
{
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"': out += L"\\\""; break;
        case L'\\': out += L"\\\\"; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        default: out += c;
        }
    }
    return out + L"\"";
}

std::optional<std::wstring> Unquote(std::wstring_view text)
{
    if (text.size() < 2 || text.front() != L'"' || text.back() != L'"') return std::nullopt;
    std::wstring out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        wchar_t c = text[i];
        if (c != L'\\') {
            out += c;
            continue;
        }
        if (++i >= text.size() - 1) return std::nullopt;
        switch (text[i]) {
        case L'n': out += L'\n'; break;
        case L'r': out += L'\r'; break;
        case L'"': out += L'"'; break;
        case L'\\': out += L'\\'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<PropertyValue> ParseValue(std::wstring_view text)
{
    if (text == L"True") return PropertyValue(true);
    if (text == L"False") return PropertyValue(false);
    if (!text.empty() && text.front() == L'"') {
        auto s = Unquote(text);
        if (!s) return std::nullopt;
        return PropertyValue(std::move(*s));
    }
    std::wstring copy(text);
    if (copy.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    if (copy.find_first_of(L".eE") == std::wstring::npos) {
        long long v = std::wcstoll(copy.c_str(), &end, 10);
        if (*end != 0 || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
        return PropertyValue(static_cast<std::int32_t>(v));
    }
    double d = std::wcstod(copy.c_str(), &end);
    if (*end != 0) return std::nullopt;
    return PropertyValue(d);
}

std::wstring FormatValue(const PropertyValue& value)
{
    struct Visitor {
        std::wstring operator()(bool b) const { return b ? L"True" : L"False"; }
        std::wstring operator()(std::int32_t i) const { return std::to_wstring(i); }
        std::wstring operator()(double d) const
        {
            wchar_t buf[64];
            std::swprintf(buf, 64, L"%.17g", d);
            std::wstring s = buf;
            if (s.find_first_of(L".eEn") == std::wstring::npos) s += L".0";
            return s;
        }
        std::wstring operator()(const std::wstring& s) const { return Quote(s); }
    };
    return std::visit(Visitor{}, value);
}

}  // namespace

std::wstring PropertyBag::Serialize() const
{
    std::wstring out;
    for (const auto& [name, value] : m_values) out += name + L"=" + FormatValue(value) + L"\n";
    return out;
}

PropertyBag PropertyBag::Parse(std::wstring_view text)
{
    PropertyBag bag;
    while (!text.empty()) {
        std::size_t eol = text.find(L'\n');
        std::wstring_view line = text.substr(0, eol);
        text = eol == std::wstring_view::npos ? std::wstring_view{} : text.substr(eol + 1);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        std::size_t eq = line.find(L'=');
        if (eq == 0 || eq == std::wstring_view::npos) continue;
        if (auto value = ParseValue(line.substr(eq + 1)))
            bag.m_values.insert_or_assign(std::wstring(line.substr(0, eq)), std::move(*value));
    }
    return bag;
}

}  // namespace rt
