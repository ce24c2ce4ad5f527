// The application object: start-up, the message loop with idle processing
// and accelerator translation, and shutdown. A program derives from it,
// fills the hooks and calls Run from WinMain.
#pragma once

#include <windows.h>

namespace kelpo::framework {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // InitInstance; when it succeeds the message loop; ExitInstance always.
    // Returns the exit code.
    int Run();

    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }
    // Accelerators translated for the main window before dispatching.
    void SetAccelerators(HACCEL accelerators) { accelerators_ = accelerators; }

    static Application* Current();

    // The loop's pre-translation, for code that pumps messages itself.
    bool PreTranslate(MSG& message) { return PreTranslateMessage(message); }

protected:
    // False ends the program without a message loop.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return exitCode_; }
    // Called while no message waits; `count` counts calls since the last
    // message. True asks for another idle turn.
    virtual bool OnIdle(long count) { return false; }
    // A chance to handle a message before it is translated and dispatched;
    // true when it was handled.
    virtual bool PreTranslateMessage(MSG& message);

    int exitCode_ = 0;

private:
    HWND mainWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
};

}  // namespace kelpo::framework
