#pragma once
// What the tab collection and its tabs tell their strip about every change.

#include <memory>
#include <optional>
#include <string>

#include "tabstrip/TabIndex.h"
#include "tabstrip/TabTypes.h"

namespace corvane {

class CTabItem;
class CTabItems;
class ITabForm;

class IuTab {
public:
    virtual ~IuTab() = default;

    // A tab has entered the list.
    virtual void Add(const std::wstring& caption, const std::shared_ptr<ITabForm>& form,
                     const std::optional<std::wstring>& key, const TabIndex& index) = 0;
    // Asked before anything is removed; false keeps the tab.
    virtual bool BeforeRemove(long index) = 0;
    // The tab at `index` has left the list.
    virtual void Remove(long index) = 0;
    virtual void Clear() = 0;
    virtual void Redraw(bool update) = 0;
    // A tab has been given a page.
    virtual void ChangeForm(CTabItem& item, const std::shared_ptr<ITabForm>& form) = 0;

    virtual long Selected() const = 0;
    virtual void SetSelected(long index) = 0;
    virtual CTabItems& TabItems() = 0;
    virtual WindowHandle hWnd() const = 0;
    // The window of the form that contains the strip; 0 when there is none.
    virtual WindowHandle hParent() const = 0;
};

}  // namespace corvane
