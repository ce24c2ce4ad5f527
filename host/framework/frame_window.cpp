// Frame windows and their docked bars.
#include "host/framework/frame_window.h"

#include <algorithm>

namespace kelpo::framework {

namespace {
// A bar shown by its own style, whether or not the frame is visible yet.
bool BarShown(HWND bar) { return (GetWindowLongPtrA(bar, GWL_STYLE) & WS_VISIBLE) != 0; }
}  // namespace

const MessageEntry FrameWindow::kEntries[] = {
    OnMessage(WM_SIZE, &FrameWindow::OnSize),
};
const MessageMap FrameWindow::kMap = MakeMessageMap(nullptr, kEntries);

const MessageMap* FrameWindow::GetMessageMap() const { return &kMap; }

void FrameWindow::DockBar(HWND bar) {
    if (std::find(bars_.begin(), bars_.end(), bar) == bars_.end()) bars_.push_back(bar);
    RecalcLayout();
}

void FrameWindow::UndockBar(HWND bar) {
    bars_.erase(std::remove(bars_.begin(), bars_.end(), bar), bars_.end());
    RecalcLayout();
}

RECT FrameWindow::ViewRect() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    for (HWND bar : bars_) {
        if (!BarShown(bar)) continue;
        RECT barRect;
        GetWindowRect(bar, &barRect);
        client.bottom -= barRect.bottom - barRect.top;
    }
    if (client.bottom < client.top) client.bottom = client.top;
    return client;
}

void FrameWindow::RecalcLayout() {
    RECT client{};
    GetClientRect(Handle(), &client);
    int bottom = client.bottom;
    for (HWND bar : bars_) {
        if (!BarShown(bar)) continue;
        RECT barRect;
        GetWindowRect(bar, &barRect);
        int height = barRect.bottom - barRect.top;
        bottom -= height;
        MoveWindow(bar, 0, bottom, client.right - client.left, height, TRUE);
    }
    OnViewResized(ViewRect());
}

LRESULT FrameWindow::OnSize(WPARAM wParam, LPARAM lParam) {
    if (wParam != SIZE_MINIMIZED) RecalcLayout();
    return 0;
}

}  // namespace kelpo::framework
