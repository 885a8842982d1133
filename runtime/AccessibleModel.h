#pragma once
// What a control tells a screen reader: for itself (child 0) and for each simple element inside
// it (children 1..n), a role, states, a name, a value, a default action and a place. The numbers
// are the platform's accessibility roles and state bits, kept here so that the decisions about
// them build and test without the platform's headers.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace rt::acc {

// Roles.
constexpr long kRoleTitleBar = 0x01;
constexpr long kRoleWindow = 0x09;
constexpr long kRoleClient = 0x0A;
constexpr long kRoleDialog = 0x12;
constexpr long kRoleLink = 0x1E;
constexpr long kRolePageTab = 0x25;
constexpr long kRoleStaticText = 0x29;
constexpr long kRoleText = 0x2A;
constexpr long kRolePushButton = 0x2B;
constexpr long kRoleCheckButton = 0x2C;
constexpr long kRoleProgressBar = 0x30;
constexpr long kRolePageTabList = 0x3C;

// State bits.
constexpr unsigned long kStateUnavailable = 0x1;
constexpr unsigned long kStateSelected = 0x2;
constexpr unsigned long kStateFocused = 0x4;
constexpr unsigned long kStatePressed = 0x8;
constexpr unsigned long kStateChecked = 0x10;
constexpr unsigned long kStateReadOnly = 0x40;
constexpr unsigned long kStateInvisible = 0x8000;
constexpr unsigned long kStateOffscreen = 0x10000;
constexpr unsigned long kStateFocusable = 0x100000;
constexpr unsigned long kStateSelectable = 0x200000;
constexpr unsigned long kStateLinked = 0x400000;

// The default action of everything a reader can press.
inline constexpr wchar_t kPressAction[] = L"按下";

// Change events a control raises.
enum class Event { Show, Hide, Focus, Selection, NameChange, StateChange, ValueChange, LocationChange, Reorder };

// A rectangle in the control's client pixels.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct Item {
    long role = kRoleClient;
    unsigned long state = 0;
    std::wstring name;
    std::wstring value;          // empty: the element has no value
    std::wstring defaultAction;  // empty: the element has no default action
    bool hasPlace = false;       // children only; the control's own place is its window's
    Rect place;
};

// The states every window shows as the platform sees it, for the control itself.
unsigned long WindowStates(bool visible, bool enabled, bool focused, bool focusable);

// What a control answers. Child ids run from 1 to ChildCount(); 0 is the control itself.
class Source {
public:
    virtual long ChildCount() const { return 0; }
    virtual Item Describe(long child) const = 0;
    // The child under a point of the client area, or 0 for the control itself.
    virtual long ChildAt(int x, int y) const;
    // The child holding the keyboard focus while the control has it (0: the control itself).
    virtual long FocusedChild() const { return 0; }
    // The selected child, or 0 when nothing inside is selected.
    virtual long SelectedChild() const { return 0; }
    // Runs the default action of `child`; called from the control's own message loop, never
    // inside a reader's call, because an action may open a modal box or destroy the control.
    virtual void DoDefaultAction(long child) { (void)child; }
    // What the queue carries for a default action of `child` until it runs, and the child it
    // names by then (-1: none). Children that shift while the request waits (a tab closed
    // meanwhile) are named by something that stays; by default the child id itself.
    virtual long ActionKey(long child) const { return child; }
    virtual long ChildOfAction(long key) const { return key; }
    // Selects `child` (a reader's accSelect with a take-selection flag); false when it cannot.
    virtual bool Select(long child) { (void)child; return false; }

protected:
    ~Source() = default;
};

// A control without children, described afresh on every question.
class Described final : public Source {
public:
    explicit Described(std::function<Item()> describe) : m_describe(std::move(describe)) {}
    Item Describe(long) const override { return m_describe(); }

private:
    std::function<Item()> m_describe;
};

// Descriptions of the simple controls.
Item StaticText(const std::wstring& text);
Item TitleBar(const std::wstring& caption);
Item NamedClient(const std::wstring& name);
// A progress bar from `min` to `max` at `value`: its value "NN%", whole percent rounded down,
// so that 100% is only said when the work is done.
Item ProgressBar(std::int64_t min, std::int64_t max, std::int64_t value);

// Valid child ids of a source: 0..ChildCount().
bool IsChild(const Source& source, long child);
// The child a reader reaches by moving from `from` (0 for the control's first/last child) in a
// direction: +1 next, -1 previous, 0 first (from the control), 2 last (from the control);
// 0 when there is none.
long NeighbourChild(long childCount, long from, int direction);

}  // namespace rt::acc
