#include "host/system_menu.h"

#include <string>

namespace kelpo {

namespace {

constexpr uint32_t kMenuConfigure = 1;
constexpr uint32_t kMenuLocked = 2;
constexpr uint32_t kMenuPlayer = 16;
constexpr uint32_t kMenuAbout = 256;
constexpr uint32_t kMenuHelp = 4096;
constexpr UINT kAboutCommandId = 32780;

std::string ItemText(HMENU menu, int index) {
    char text[256] = "";
    GetMenuStringA(menu, static_cast<UINT>(index), text, sizeof text, MF_BYPOSITION);
    return text;
}

// A deep copy of a popup menu: the system menu must own its items.
HMENU CopyPopup(HMENU source, int depth = 0) {
    HMENU copy = CreatePopupMenu();
    if (!copy || depth > 8) return copy;
    const int count = GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(source, static_cast<UINT>(i), TRUE, &item)) continue;
        std::string text = ItemText(source, i);
        if (item.fType & MFT_SEPARATOR) {
            AppendMenuA(copy, MF_SEPARATOR, 0, nullptr);
        } else if (item.hSubMenu) {
            AppendMenuA(copy, MF_POPUP | MF_STRING,
                        reinterpret_cast<UINT_PTR>(CopyPopup(item.hSubMenu, depth + 1)),
                        text.c_str());
        } else {
            AppendMenuA(copy, MF_STRING | (item.fState & MFS_GRAYED ? MF_GRAYED : 0), item.wID,
                        text.c_str());
        }
    }
    return copy;
}

}  // namespace

void BuildSystemMenu(HWND frame, int baseCount, uint32_t contextMenu) {
    HMENU menu = GetSystemMenu(frame, FALSE);
    if (!menu) return;
    for (int count = GetMenuItemCount(menu); count > baseCount; --count)
        DeleteMenu(menu, static_cast<UINT>(count - 1), MF_BYPOSITION);
    const uint32_t items = contextMenu & (kMenuConfigure | kMenuPlayer | kMenuAbout | kMenuHelp);
    if ((contextMenu & kMenuLocked) || items == 0) return;
    HMENU resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kSystemMenuResource));
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    bool added = false;
    if ((items & kMenuPlayer) && resource) {
        if (HMENU player = GetSubMenu(resource, 0)) {
            AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CopyPopup(player)),
                        ItemText(resource, 0).c_str());
            added = true;
        }
    }
    if (items & kMenuConfigure) {
        AppendMenuA(menu, MF_STRING, kConfigCommand, "Config...");
        added = true;
    }
    if (items & kMenuHelp) {
        AppendMenuA(menu, MF_STRING, kHelpCommand, "Help");
        added = true;
    }
    if (items & kMenuAbout) {
        if (added) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kAboutCommandId, "About...");
    }
    if (resource) DestroyMenu(resource);
}

void GreyWindowCommands(HMENU menu, HWND frame, const AppearanceSettings& appearance) {
    auto enable = [menu](UINT command, bool on) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    const bool popup = (appearance.borderStyle & kBorderNone) != 0;
    enable(SC_RESTORE, IsZoomed(frame) != 0);
    enable(SC_SIZE, (appearance.borderStyle & kBorderResizable) != 0);
    enable(SC_MAXIMIZE, (appearance.borderIcons & kIconMaximize) && !popup);
    enable(SC_MINIMIZE, (appearance.borderIcons & kIconMinimize) != 0);
}

}  // namespace kelpo
