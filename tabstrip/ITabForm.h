#pragma once
// What every form that can live in a tab offers its tab and strip.

#include <memory>

#include "tabstrip/TabTypes.h"

namespace corvane {

class CTabItem;
class IuTab;

class ITabForm {
public:
    virtual ~ITabForm() = default;

    // The page form's window (top-level until the strip embeds it).
    virtual WindowHandle hWnd() const = 0;
    // Hands the page its strip and its tab; called twice while a tab is added. A page keeps the
    // tab as a weak reference: the tab owns the page, and a strong reference back would keep
    // both alive for ever.
    virtual void Initialize(IuTab* implement, const std::shared_ptr<CTabItem>& item) = 0;
    // Reloads the page's content.
    virtual void RefreshPage() = 0;
    // Unloads the page form: its unload logic runs and its window is destroyed.
    virtual void UnloadForm() = 0;
};

}  // namespace corvane
