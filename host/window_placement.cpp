// The basic placement of the main window.
#include "host/window_placement.h"

namespace kelpo {

void PlaceWindowForMovie(HWND frame, SIZE movie) {
    if (movie.cx <= 0 || movie.cy <= 0) movie = SIZE{550, 400};
    RECT rect{0, 0, movie.cx, movie.cy};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_EXSTYLE)));
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(frame, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(frame, SW_SHOWNORMAL);
}

}  // namespace kelpo
