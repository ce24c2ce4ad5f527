// A frame window: a top-level window whose client area is shared between
// control bars docked at the bottom (the status bar) and one view that
// fills the rest.
#pragma once

#include <vector>

#include "host/framework/window.h"

namespace kelpo::framework {

class FrameWindow : public Window {
public:
    // Docks a bar window at the bottom; its height is kept, its width follows.
    void DockBar(HWND bar);
    void UndockBar(HWND bar);
    // The client area left to the view once the visible bars have their room.
    RECT ViewRect() const;
    // Lays the bars out again (after one is shown, hidden or resized).
    void RecalcLayout();

protected:
    const MessageMap* GetMessageMap() const override;
    // The view's new rectangle after a resize.
    virtual void OnViewResized(const RECT& view) {}

    LRESULT OnSize(WPARAM wParam, LPARAM lParam);

    static const MessageEntry kEntries[];
    static const MessageMap kMap;

private:
    std::vector<HWND> bars_;
};

}  // namespace kelpo::framework
