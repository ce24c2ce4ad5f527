// Plays the other side of a running projector in end-to-end tests: another
// projector calling a script function through WM_COPYDATA, a person
// answering a message box or the File Open dialog, or closing the window.
//
//   projector_peer call SECONDS FUNCTION [ARGS...]   prints the returned length and the reply
//   projector_peer dialog SECONDS [LOCATION]          prints a dialog's title and texts, then
//                                                     types LOCATION (if given) and presses OK
//   projector_peer command SECONDS ID                 sends WM_COMMAND ID to the main window
//   projector_peer close SECONDS                      posts WM_CLOSE to the main window
//   projector_peer click SECONDS X Y                  clicks the player at (X, Y) of its window
//   projector_peer screenshot SECONDS FILE.bmp        saves the main window as it is on screen
//   projector_peer key SECONDS VK                     presses and releases a key in the player
//   projector_peer drag SECONDS X Y DX DY             drags with the left button from (X, Y) of
//                                                     the player by (DX, DY); prints how far the
//                                                     main window moved
//   projector_peer rclick SECONDS X Y [KEY]           right-clicks the player; prints whether a
//                                                     popup menu opened, then types the item's
//                                                     mnemonic letter KEY, or Esc, and prints
//                                                     whether the menu is still open
//   projector_peer endsession SECONDS                 tells the main window the session ends;
//                                                     prints whether the player window remains
//   projector_peer button SECONDS TITLE ID            prints the texts of the dialog titled TITLE
//                                                     ("*": any) and presses its button ID
//                                                     (1 OK, 2 Cancel, 6 Yes, 7 No, ...)
//   projector_peer type SECONDS TITLE TEXT            prints the texts and file-type filters of
//                                                     the dialog titled TITLE, types TEXT into its
//                                                     first edit control and presses OK
//   projector_peer color SECONDS TITLE RGB            types the colour 0xRRGGBB into the red,
//                                                     green and blue fields of the colour dialog
//                                                     titled TITLE and presses OK
//   projector_peer measure SECONDS                    prints the screen size and the main
//                                                     window's rectangle, client size, styles,
//                                                     state, caption and region
//   projector_peer resize SECONDS DW DH               resizes the main window by (DW, DH) as a
//                                                     person's drag does (enter and exit
//                                                     size-move around it); prints the result
//   projector_peer window SECONDS TITLE               shows a window of its own titled TITLE
//                                                     until it is closed or SECONDS pass;
//                                                     prints its last rectangle and state
// Each waits up to SECONDS for the window it needs; exit status 1 when it
// never appears.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kFrameClass[] = "KelpoProjectorFrame";

template <class Find>
HWND WaitFor(double seconds, Find find) {
    for (int waited = 0; waited < seconds * 10; ++waited) {
        if (HWND found = find()) return found;
        Sleep(100);
    }
    return nullptr;
}

HWND WaitForFrame(double seconds) {
    return WaitFor(seconds, [] { return FindWindowA(kFrameClass, nullptr); });
}

struct WindowSearch {
    const char* className;
    const char* title;  // null: any
    HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND hwnd, LPARAM user) {
    auto* search = reinterpret_cast<WindowSearch*>(user);
    char name[32] = "", title[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != search->className || !IsWindowVisible(hwnd)) return TRUE;
    GetWindowTextA(hwnd, title, sizeof title);
    if (search->title && std::string(title) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A visible top-level window of a class ("#32770" dialogs, "#32768" popup
// menus), from any process, with the given title unless that is null; null
// when there is none. Tests that run beside others name their dialogs.
HWND FindVisibleWindow(const char* className, const char* title = nullptr) {
    WindowSearch search{className, title, nullptr};
    EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK PrintChildText(HWND child, LPARAM) {
    char className[32] = "", text[512] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (std::string(className) == "Static" && text[0]) std::printf("text: %s\n", text);
    return TRUE;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (std::string(className) == "Edit") {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

int Call(double seconds, int argc, char** argv) {
    HWND frame = WaitForFrame(seconds);
    if (!frame) return 1;
    const char mappingName[] = "KelpoPeerReply";
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 65536, mappingName);
    auto* view = static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 65536));
    if (!view) return 1;
    *reinterpret_cast<uint32_t*>(view) = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(frame));
    std::string block = std::string(mappingName) + '\0';
    for (int i = 0; i < argc; ++i) block += std::string(argv[i]) + '\0';
    block += '\0';
    COPYDATASTRUCT data{0, static_cast<DWORD>(block.size()), &block[0]};
    LRESULT length = SendMessageA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    std::string reply(reinterpret_cast<const char*>(view + 4),
                      strnlen(reinterpret_cast<const char*>(view + 4), 65532));
    std::printf("length: %ld\nreply: %s\n", static_cast<long>(length),
                reply.size() > 60 ? (reply.substr(0, 60) + "...").c_str() : reply.c_str());
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return 0;
}

int AnswerDialog(double seconds, const char* location) {
    HWND dialog = WaitFor(seconds, [] { return FindVisibleWindow("#32770"); });
    if (!dialog) return 1;
    Sleep(200);  // let the dialog finish initializing
    char title[256] = "";
    GetWindowTextA(dialog, title, sizeof title);
    std::printf("dialog: %s\n", title);
    EnumChildWindows(dialog, PrintChildText, 0);
    if (location) {
        HWND edit = nullptr;
        EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
        if (edit) SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(location));
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

// The dialog titled `title` ("*" for any), once it is up and initialized;
// prints its title and texts.
HWND WaitForDialog(double seconds, const char* title) {
    const char* wanted = std::string(title) == "*" ? nullptr : title;
    HWND dialog = WaitFor(seconds, [wanted] { return FindVisibleWindow("#32770", wanted); });
    if (!dialog) return nullptr;
    Sleep(200);
    char text[256] = "";
    GetWindowTextA(dialog, text, sizeof text);
    std::printf("dialog: %s\n", text);
    EnumChildWindows(dialog, PrintChildText, 0);
    return dialog;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int AnswerButton(double seconds, const char* title, int id) {
    HWND dialog = WaitForDialog(seconds, title);
    if (!dialog) return 1;
    PressButton(dialog, id);
    return 0;
}

// The file dialogs' list of file types (cmb1, control ID 0x470). The
// system's dialog keeps UTF-16 items, read as such.
void PrintFilters(HWND dialog) {
    HWND types = GetDlgItem(dialog, 0x470);
    if (!types) return;
    const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[256] = L"";
        if (SendMessageW(types, CB_GETLBTEXTLEN, i, 0) < 256)
            SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        char text[512] = "";
        WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof text, nullptr, nullptr);
        std::printf("filter: %s\n", text);
    }
}

int AnswerTyping(double seconds, const char* title, const char* text) {
    HWND dialog = WaitForDialog(seconds, title);
    if (!dialog) return 1;
    PrintFilters(dialog);
    HWND edit = nullptr;
    EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
    if (!edit) return 1;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    PressButton(dialog, IDOK);
    return 0;
}

// The colour dialog's red, green and blue fields (control IDs 706 to 708,
// shown when the dialog is fully open); the dialog takes the colour from
// them as they change.
int AnswerColor(double seconds, const char* title, long rgb) {
    HWND dialog = WaitForDialog(seconds, title);
    if (!dialog) return 1;
    const int parts[3] = {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                          static_cast<int>(rgb & 0xFF)};
    for (int i = 0; i < 3; ++i) {
        HWND field = GetDlgItem(dialog, 706 + i);
        if (!field) return 1;
        SetWindowTextA(field, std::to_string(parts[i]).c_str());
    }
    Sleep(100);
    PressButton(dialog, IDOK);
    return 0;
}

// The player's window: the frame's child with control ID 1113.
HWND PlayerWindow(HWND frame) { return GetDlgItem(frame, 1113); }

int Click(HWND frame, int x, int y) {
    HWND player = PlayerWindow(frame);
    if (!player) return 1;
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(player, WM_MOUSEMOVE, 0, at);
    SendMessageA(player, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(player, WM_LBUTTONUP, 0, at);
    return 0;
}

// A drag as a person makes it, through the system's input queue: the
// projector reads the real cursor and button state while it drags.
void MouseInput(DWORD flags, int screenX = 0, int screenY = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(screenX, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screenY, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &input, sizeof input);
    Sleep(150);
}

int Drag(HWND frame, int x, int y, int dx, int dy) {
    HWND player = PlayerWindow(frame);
    if (!player) return 1;
    RECT before, after;
    GetWindowRect(frame, &before);
    POINT start{x, y};
    ClientToScreen(player, &start);
    MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, start.x, start.y);
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 4; ++step) {
        MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, start.x + dx * step / 4,
                   start.y + dy * step / 4);
    }
    MouseInput(MOUSEEVENTF_LEFTUP);
    GetWindowRect(frame, &after);
    std::printf("moved: %ld %ld\n", after.left - before.left, after.top - before.top);
    return 0;
}

// The right button's press is posted: a context menu is a modal loop inside
// the projector's handling of it.
int RightClick(HWND frame, int x, int y, char mnemonic) {
    HWND player = PlayerWindow(frame);
    if (!player) return 1;
    PostMessageA(player, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    PostMessageA(player, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    HWND menu = WaitFor(3, [] { return FindVisibleWindow("#32768"); });
    std::printf("menu: %s\n", menu ? "open" : "none");
    if (!menu) return 0;
    // The menu is worked with its keys, through the input queue as a person
    // types: the item's mnemonic letter, or Esc to cancel.
    auto press = [](WORD key) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof input[0]);
        Sleep(150);
    };
    press(mnemonic ? static_cast<WORD>(mnemonic) : VK_ESCAPE);
    Sleep(500);
    std::printf("after: %s\n", FindVisibleWindow("#32768") ? "open" : "closed");
    return 0;
}

int EndSession(HWND frame) {
    SendMessageA(frame, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(frame, WM_ENDSESSION, TRUE, 0);
    std::printf("player: %s\n", PlayerWindow(frame) ? "present" : "gone");
    return 0;
}

int Screenshot(HWND frame, const char* path) {
    RECT rect;
    GetWindowRect(frame, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return 1;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD rowSize = (width * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + rowSize * height;
    int status = 1;
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, rowSize, height, out);
        status = std::fclose(out) == 0 ? 0 : 1;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return status;
}

void PrintRect(const char* name, const RECT& r) {
    std::printf("%s: %ld %ld %ld %ld\n", name, static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
}

// The window's region as its rectangles, relative to the window.
void PrintRegion(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) == ERROR) {
        std::printf("region: none\n");
        DeleteObject(region);
        return;
    }
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    GetRegionData(region, size, rgn);
    const RECT* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    std::printf("region:");
    for (DWORD i = 0; i < rgn->rdh.nCount; ++i) {
        std::printf(" %ld,%ld,%ld,%ld", static_cast<long>(rects[i].left),
                    static_cast<long>(rects[i].top), static_cast<long>(rects[i].right),
                    static_cast<long>(rects[i].bottom));
    }
    std::printf("\n");
    DeleteObject(region);
}

int Measure(HWND frame, double seconds) {
    // Start-up has placed the window once it is shown and stays as it is
    // for half a second.
    RECT seen{};
    LONG seenStyle = 0;
    int steady = 0;
    WaitFor(seconds, [&] {
        RECT now;
        GetWindowRect(frame, &now);
        LONG style = GetWindowLongA(frame, GWL_STYLE);
        steady =
            IsWindowVisible(frame) && EqualRect(&now, &seen) && style == seenStyle ? steady + 1 : 0;
        seen = now;
        seenStyle = style;
        return steady >= 5 ? frame : nullptr;
    });
    HDC screen = GetDC(nullptr);
    std::printf("screen: %d %d\n", GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES));
    ReleaseDC(nullptr, screen);
    RECT window, client;
    GetWindowRect(frame, &window);
    GetClientRect(frame, &client);
    PrintRect("window", window);
    std::printf("client: %ld %ld\n", static_cast<long>(client.right),
                static_cast<long>(client.bottom));
    RECT player{};
    GetClientRect(PlayerWindow(frame), &player);
    std::printf("player: %ld %ld\n", static_cast<long>(player.right),
                static_cast<long>(player.bottom));
    std::printf("style: 0x%08lx\nexstyle: 0x%08lx\n",
                static_cast<unsigned long>(GetWindowLongA(frame, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(frame, GWL_EXSTYLE)));
    std::printf("state: %s %s\n",
                IsZoomed(frame)   ? "zoomed"
                : IsIconic(frame) ? "iconic"
                                  : "normal",
                IsWindowVisible(frame) ? "visible" : "hidden");
    char caption[256] = "";
    GetWindowTextA(frame, caption, sizeof caption);
    std::printf("caption: %s\n", caption);
    PrintRegion(frame);
    return 0;
}

// What the frame sees when a person drags one of its edges.
int Resize(HWND frame, int dw, int dh) {
    RECT before, after;
    GetWindowRect(frame, &before);
    SendMessageA(frame, WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(frame, nullptr, 0, 0, before.right - before.left + dw,
                 before.bottom - before.top + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(frame, WM_EXITSIZEMOVE, 0, 0);
    GetWindowRect(frame, &after);
    RECT client;
    GetClientRect(frame, &client);
    PrintRect("before", before);
    PrintRect("after", after);
    std::printf("client: %ld %ld\n", static_cast<long>(client.right),
                static_cast<long>(client.bottom));
    return 0;
}

bool peerWindowClosed = false;
// The window as it was when asked to close: the loop below samples it only
// every few milliseconds, and a move just before the close would be lost.
RECT peerRectAtClose{};
bool peerVisibleAtClose = false;

LRESULT CALLBACK PeerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        peerWindowClosed = true;
        GetWindowRect(hwnd, &peerRectAtClose);
        peerVisibleAtClose = IsWindowVisible(hwnd) != FALSE;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A top-level window of this process for the projector's scripts to find
// and move about.
int OwnWindow(double seconds, const char* title) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PeerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "KelpoPeerWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 100,
                                  100, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    std::printf("shown: %s\n", title);
    std::fflush(stdout);
    RECT last{};
    bool visible = true;
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (!peerWindowClosed && static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (IsWindow(window)) {
            GetWindowRect(window, &last);
            visible = IsWindowVisible(window) != FALSE;
        }
        Sleep(20);
    }
    if (peerWindowClosed) {
        last = peerRectAtClose;
        visible = peerVisibleAtClose;
    }
    PrintRect("rect", last);
    std::printf("visible: %s\nclosed: %s\n", visible ? "yes" : "no",
                peerWindowClosed ? "yes" : "no");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::string action = argv[1];
    double seconds = std::atof(argv[2]);
    if (action == "call" && argc >= 4) return Call(seconds, argc - 3, argv + 3);
    if (action == "dialog") return AnswerDialog(seconds, argc >= 4 ? argv[3] : nullptr);
    if (action == "button" && argc >= 5) return AnswerButton(seconds, argv[3], std::atoi(argv[4]));
    if (action == "type" && argc >= 5) return AnswerTyping(seconds, argv[3], argv[4]);
    if (action == "window" && argc >= 4) return OwnWindow(seconds, argv[3]);
    if (action == "color" && argc >= 5)
        return AnswerColor(seconds, argv[3], std::strtol(argv[4], nullptr, 0));
    HWND frame = WaitForFrame(seconds);
    if (!frame) return 1;
    if (action == "command" && argc >= 4) {
        PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return 0;
    }
    if (action == "click" && argc >= 5) return Click(frame, std::atoi(argv[3]), std::atoi(argv[4]));
    if (action == "screenshot" && argc >= 4) return Screenshot(frame, argv[3]);
    if (action == "key" && argc >= 4) {
        HWND player = PlayerWindow(frame);
        WPARAM key = static_cast<WPARAM>(std::strtol(argv[3], nullptr, 0));
        SendMessageA(player, WM_KEYDOWN, key, 1);
        SendMessageA(player, WM_KEYUP, key, 0xC0000001);
        return 0;
    }
    if (action == "drag" && argc >= 7) {
        return Drag(frame, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                    std::atoi(argv[6]));
    }
    if (action == "rclick" && argc >= 5) {
        return RightClick(frame, std::atoi(argv[3]), std::atoi(argv[4]),
                          argc >= 6 ? argv[5][0] : 0);
    }
    if (action == "endsession") return EndSession(frame);
    if (action == "measure") return Measure(frame, seconds);
    if (action == "resize" && argc >= 5)
        return Resize(frame, std::atoi(argv[3]), std::atoi(argv[4]));
    if (action == "close") {
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
