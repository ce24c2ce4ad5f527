#include "hostobjects/application_window_ops_win32.h"

#include <windows.h>

#include <climits>
#include <vector>

#include "host/project_data.h"
#include "host/safe_names.h"
#include "host/window_messages.h"
#include "hostobjects/projector_port_win32.h"
#include "hostobjects/region_file.h"
#include "runtime/native_args.h"
#include "platform/files.h"
#include "runtime/convert.h"

namespace kelpo {
namespace {

// The process-wide custom cursor; the player wrapper shows it.
HCURSOR gCustomCursor = nullptr;

HWND PlayerWindow() { return ProjectorPlayerWindow(); }

void UseCursor(HCURSOR cursor) {
    if (gCustomCursor) DestroyCursor(gCustomCursor);
    gCustomCursor = cursor;
    SetProjectorPlayerCursor(cursor);
}

HCURSOR LoadCursorFile(const std::string& name) {
    HCURSOR cursor = LoadCursorFromFileA(name.c_str());
    if (cursor == nullptr) {
        std::string extracted = GetAdditionalFile(name);
        if (!extracted.empty()) cursor = LoadCursorFromFileA(extracted.c_str());
    }
    return cursor;
}

int ClampToInt(int64_t value) {
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

HRGN RegionFromMask(ScriptContext* context, const Value& nameValue) {
    std::string name;
    if (!BoundedAnsi(context, nameValue, kMaxPathText, name)) return nullptr;
    std::string path = RegionFilePath(TheProject().instanceFolder, name);
    std::vector<uint8_t> file, data;
    if (path.empty() || !ReadWholeFile(path, file) || !ParseRegionFile(file, data)) return nullptr;
    // The count given is that of the data after its header, as region files
    // have always been read.
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size() - kRegionHeaderSize),
                           reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

void AssignApplicationCursor(ScriptContext* context, const Value& value) {
    if (value.tag == ValueTag::Null) {
        UseCursor(nullptr);
        return;
    }
    std::string name;
    if (value.tag != ValueTag::String) return;
    if (!BoundedAnsi(context, value, kMaxPathText, name)) {
        ShowCursor(TRUE);
        return;  // no file has so long a name
    }
    if (SameNameIgnoringCase(name, "hide")) {
        ShowCursor(FALSE);
        return;
    }
    ShowCursor(TRUE);
    if (HCURSOR cursor = LoadCursorFile(name)) UseCursor(cursor);
}

void ReleaseApplicationCursor() { UseCursor(nullptr); }

bool PlayerHasCapture() {
    HWND player = PlayerWindow();
    return player != nullptr && GetCapture() == player;
}

void CapturePlayerMouse(bool capture) {
    HWND player = PlayerWindow();
    if (!player) return;
    if (capture) {
        SetCapture(player);
    } else {
        ReleaseCapture();
    }
}

bool PlayerHasFocus() {
    HWND player = PlayerWindow();
    return player != nullptr && GetFocus() == player;
}

void FocusPlayer() {
    if (HWND player = PlayerWindow()) SetFocus(player);
}

void PostAboutCommand() {
    if (HWND frame = ProjectorMainWindow()) PostMessageA(frame, WM_SYSCOMMAND, kAboutCommand, 0);
}

Value SendWindowMessage(const Value* args) {
    if (!IsIntegerArg(args, 1) || !IsIntegerArg(args, 2)) return MakeUndefined();
    HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(args[1].integer));
    UINT message = static_cast<UINT>(args[2].integer);
    WPARAM wParam = IsIntegerArg(args, 3) ? static_cast<WPARAM>(args[3].integer) : 0;
    LPARAM lParam = IsIntegerArg(args, 4) ? static_cast<LPARAM>(args[4].integer) : 0;
    return MakeInteger(static_cast<int64_t>(SendMessageA(window, message, wParam, lParam)));
}

void SetDragRegion(ScriptContext* context, const Value* args) {
    HRGN region = nullptr;
    if (HasArg(args, 4)) {
        int64_t x = ToInt32(context, args[1]), y = ToInt32(context, args[2]);
        int64_t width = ToInt32(context, args[3]), height = ToInt32(context, args[4]);
        region = CreateRectRgn(ClampToInt(x), ClampToInt(y), ClampToInt(x + width),
                               ClampToInt(y + height));
    } else if (IsStringArg(args, 1)) {
        region = RegionFromMask(context, args[1]);
    }
    // Owned and freed by the player window from here on.
    if (!SetProjectorPlayerClipRegion(region) && region) DeleteObject(region);
}

}  // namespace kelpo
