#pragma once
// One tab: its caption, its page, its close-button and width flags, its place in the strip and
// the host's free data. Setting what the strip shows makes the strip repaint.

#include <any>
#include <memory>
#include <string>

namespace corvane {

class CTabItems;
class ITabForm;
class IuTab;
class uTab;

class CTabItem : public std::enable_shared_from_this<CTabItem> {
public:
    CTabItem() = default;
    CTabItem(const CTabItem&) = delete;
    CTabItem& operator=(const CTabItem&) = delete;
    // A tab that still holds its page unloads it.
    ~CTabItem();

    const std::wstring& Caption() const { return m_caption; }
    void SetCaption(std::wstring caption);

    const std::shared_ptr<ITabForm>& Form() const { return m_form; }
    void SetForm(std::shared_ptr<ITabForm> form);

    bool HideButton() const { return m_hideButton; }
    void SetHideButton(bool hide);

    bool LockSize() const { return m_lockSize; }
    void SetLockSize(bool lock);

    long Left() const { return m_left; }
    long Width() const { return m_width; }

    // Plain values are copied; objects are kept by reference (store a shared_ptr).
    const std::any& ItemData() const { return m_itemData; }
    void SetItemData(std::any data) { m_itemData = std::move(data); }

private:
    friend class CTabItems;
    friend class uTab;

    void SetStrip(IuTab* strip) { m_strip = strip; }
    void SetLeft(long left) { m_left = left; }
    void SetWidth(long width) { m_width = width; }
    long SavedStyle() const { return m_savedStyle; }
    void SetSavedStyle(long style) { m_savedStyle = style; }
    // Unloads the page (when there is one) and lets go of it.
    void UnloadPage();
    // Lets go of the page without unloading it.
    std::shared_ptr<ITabForm> TakeForm();

    std::wstring m_caption;
    std::shared_ptr<ITabForm> m_form;
    bool m_hideButton = false;
    bool m_lockSize = false;
    long m_left = 0;
    long m_width = 0;
    std::any m_itemData;
    IuTab* m_strip = nullptr;
    long m_savedStyle = 0;
};

}  // namespace corvane
