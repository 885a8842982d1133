#pragma once
// The one argument with which hosts address a tab: a key, a position, the page or the tab
// itself. It keeps what kind of value the caller passed, because that decides the lookup
// ("2" is a key for FindItem but a number for Add).

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace corvane {

class CTabItem;
class ITabForm;

class TabIndex {
public:
    struct Missing {};
    struct Other {};  // a value of no kind the collection understands (Empty, Null, an object)

    TabIndex() : m_value(Missing{}) {}
    TabIndex(Other) : m_value(Other{}) {}
    TabIndex(int position) : m_value(static_cast<double>(position)) {}
    TabIndex(long position) : m_value(static_cast<double>(position)) {}
    TabIndex(double number) : m_value(number) {}
    TabIndex(const wchar_t* key) : m_value(std::wstring(key)) {}
    TabIndex(std::wstring key) : m_value(std::move(key)) {}
    TabIndex(const ITabForm* page) : m_value(page) {}
    TabIndex(const CTabItem* tab) : m_value(tab) {}
    // A page or a tab held by a shared pointer (of any class derived from either).
    template <typename T>
    TabIndex(const std::shared_ptr<T>& object) : TabIndex(object.get())
    {
    }

    bool IsMissing() const { return std::holds_alternative<Missing>(m_value); }
    const std::wstring* Key() const { return std::get_if<std::wstring>(&m_value); }
    const double* Number() const { return std::get_if<double>(&m_value); }
    const ITabForm* Page() const
    {
        auto p = std::get_if<const ITabForm*>(&m_value);
        return p ? *p : nullptr;
    }
    const CTabItem* Tab() const
    {
        auto p = std::get_if<const CTabItem*>(&m_value);
        return p ? *p : nullptr;
    }

    // The value as a number the way the runtime's numeric test reads it: numbers as they are,
    // text when all of it (blanks around it aside) is a number; nothing otherwise.
    bool AsNumber(double& out) const;

private:
    std::variant<Missing, Other, double, std::wstring, const ITabForm*, const CTabItem*> m_value;
};

}  // namespace corvane
