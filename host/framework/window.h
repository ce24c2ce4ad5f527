// The window class at the root of the framework: a C++ object bound to one
// HWND, whose messages go through the object's message map and otherwise to
// the default procedure (the window class's, or the original procedure of a
// subclassed window).
#pragma once

#include <windows.h>

#include "host/framework/message_map.h"

namespace kelpo::framework {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

    // Creates the window with a framework window class of the given name
    // (registered on first use with `classStyle`, `icon` and no background).
    bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId, UINT classStyle = 0,
                HICON icon = nullptr);
    // Takes over an existing window: its messages reach this object first.
    bool Subclass(HWND hwnd);
    // Gives a subclassed window its own procedure back.
    void Unsubclass();
    void Destroy();

    // The object bound to a window, or null.
    static Window* FromHandle(HWND hwnd);

protected:
    virtual const MessageMap* GetMessageMap() const;
    // Messages no map entry takes.
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY, when the window is gone.
    virtual void OnFinalDestroy() {}

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Binds the object to a window whose procedure calls Dispatch itself
    // (dialogs), and undoes it.
    void Attach(HWND hwnd);
    void Detach();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC originalProc_ = nullptr;  // set while subclassing
};

}  // namespace kelpo::framework
