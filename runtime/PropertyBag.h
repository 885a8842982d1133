#pragma once
// The designer data of a form's controls: every control saves and restores its persisted
// properties under their own names. A value equal to the property's default is not stored, so a
// bag holds only what differs from the defaults. The text form is one "Name=Value" line per
// property, values quoted and escaped when they are strings.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt {

using PropertyValue = std::variant<bool, std::int32_t, double, std::wstring>;

class PropertyBag {
public:
    // Reading returns the stored value, or the default when the key is absent or its value has
    // another type. Every read and write is journaled so that callers can check their order.
    PropertyValue Read(std::wstring_view name, const PropertyValue& defaultValue);
    bool ReadBool(std::wstring_view name, bool defaultValue);
    std::int32_t ReadInt(std::wstring_view name, std::int32_t defaultValue);
    std::wstring ReadString(std::wstring_view name, std::wstring_view defaultValue);

    // Writing with a default skips the value when it equals the default (and removes a stale
    // entry); writing without one always stores it.
    void Write(std::wstring_view name, const PropertyValue& value,
               const std::optional<PropertyValue>& defaultValue = std::nullopt);

    bool Contains(std::wstring_view name) const;
    std::size_t Size() const { return m_values.size(); }

    const std::vector<std::wstring>& ReadOrder() const { return m_reads; }
    const std::vector<std::wstring>& WriteOrder() const { return m_writes; }
    void ClearJournal();

    std::wstring Serialize() const;
    // Lines that do not parse are skipped: a damaged designer file loses those properties only.
    static PropertyBag Parse(std::wstring_view text);

private:
    std::map<std::wstring, PropertyValue, std::less<>> m_values;
    std::vector<std::wstring> m_reads;
    std::vector<std::wstring> m_writes;
};

}  // namespace rt
