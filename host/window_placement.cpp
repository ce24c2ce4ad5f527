#include "host/window_placement.h"

namespace kelpo {

namespace {

// 64-bit intermediate products: percentages of large screens stay exact.
int PercentOf(int whole, int percent) {
    return static_cast<int>(static_cast<int64_t>(whole) * percent / 100);
}

PixelSize WindowSizeFor(const SizeAndPosSettings& settings, const PlacementInput& input) {
    switch (settings.windowSize) {
        case 0:  // movie size
        case 2:  // maximized (the size it restores to)
            if (input.movie.width <= 0 || input.movie.height <= 0) return input.window;
            return PixelSize{input.window.width - input.client.width + input.movie.width,
                             input.window.height - input.client.height + input.movie.height};
        case 3: return PixelSize{settings.width, settings.height};
        case 4:
            // The height field holds the percentage for both directions.
            return PixelSize{PercentOf(input.screen.width, settings.height),
                             PercentOf(input.screen.height, settings.height)};
        default: return PixelSize{0, 0};
    }
}

}  // namespace

Placement PlaceMainWindow(const SizeAndPosSettings& settings, const PlacementInput& input) {
    const int W = input.screen.width, H = input.screen.height;
    const PixelSize size = WindowSizeFor(settings, input);
    const int dx = W - size.width, dy = H - size.height;  // halves truncate toward zero
    int x = 0, y = 0;
    switch (settings.pos) {
        case 0: break;
        case 1: x = dx / 2; break;
        case 2: x = dx; break;
        case 3: y = dy / 2; break;
        case 4: x = dx / 2, y = dy / 2; break;
        case 5: x = dx, y = dy / 2; break;
        case 6: y = dy; break;
        case 7: x = dx / 2, y = dy; break;
        case 8: x = dx, y = dy; break;
        case 9: x = settings.left, y = settings.top; break;
        case 10: x = PercentOf(W, settings.left), y = PercentOf(H, settings.top); break;
        default: break;
    }
    Placement placement;
    placement.rect = PixelRect{x, y, x + size.width, y + size.height};
    switch (settings.windowSize) {
        case 0:
        case 3:
        case 4: placement.action = PlacementAction::Move; break;
        case 1:
            placement.action = PlacementAction::FullScreen;
            placement.rect = PixelRect{0, 0, W, H};
            break;
        case 2: placement.action = PlacementAction::Maximize; break;
        default: placement.action = PlacementAction::None; break;
    }
    return placement;
}

bool KeepRatioRect(const PixelRect& now, const PixelRect& atStart, PixelSize client, float ratio,
                   PixelRect& corrected) {
    if (!(ratio > 0) || client.width <= 0 || client.height <= 0) return false;
    corrected = now;
    const int overheadX = now.Width() - client.width, overheadY = now.Height() - client.height;
    if (now.Width() == atStart.Width()) {
        corrected.right = now.left + overheadX + static_cast<int>(client.height * ratio);
    } else {
        corrected.bottom = now.top + overheadY + static_cast<int>(client.width / ratio);
    }
    return true;
}

}  // namespace kelpo
