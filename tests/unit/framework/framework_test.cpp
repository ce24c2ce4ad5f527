// The window framework: message maps and their inheritance, subclassing,
// the message loop with idle turns and accelerators, modal dialogs from
// templates, and the control container's failure codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/framework/application.h"
#include "host/framework/control_host.h"
#include "host/framework/dialog.h"
#include "host/framework/frame_window.h"

namespace kelpo::framework {
namespace {

constexpr UINT kAnswer = WM_APP + 1;

class TestFrame : public FrameWindow {
public:
    std::vector<UINT> commands;
    int resizes = 0;
    RECT lastView{};

    LRESULT OnAnswer(WPARAM wParam, LPARAM) { return 40 + static_cast<LRESULT>(wParam); }
    void OnRange(UINT id) { commands.push_back(id); }

protected:
    const MessageMap* GetMessageMap() const override { return &kMap; }
    void OnViewResized(const RECT& view) override {
        ++resizes;
        lastView = view;
    }

private:
    static const MessageEntry kEntries[];
    static const MessageMap kMap;
};

const MessageEntry TestFrame::kEntries[] = {
    OnMessage(kAnswer, &TestFrame::OnAnswer),
    OnCommandRange(100, 199, &TestFrame::OnRange),
};
const MessageMap TestFrame::kMap = MakeMessageMap(&FrameWindow::kMap, TestFrame::kEntries);

TEST(MessageMap, EntriesOfTheClassAndItsBaseAnswer) {
    TestFrame frame;
    ASSERT_TRUE(frame.Create("KelpoTestFrame", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 0, 300, 200,
                             nullptr, nullptr));
    EXPECT_EQ(frame.Handle(), Window::FromHandle(frame.Handle())->Handle());
    EXPECT_EQ(42, SendMessageA(frame.Handle(), kAnswer, 2, 0));
    for (UINT id : {99u, 100u, 150u, 199u, 200u}) SendMessageA(frame.Handle(), WM_COMMAND, id, 0);
    EXPECT_EQ((std::vector<UINT>{100, 150, 199}), frame.commands);

    // WM_SIZE is the base class's: it lays out the docked bar and the view.
    HWND bar = CreateWindowExA(0, "STATIC", "bar", WS_CHILD | WS_VISIBLE, 0, 0, 10, 20,
                               frame.Handle(), nullptr, nullptr, nullptr);
    frame.DockBar(bar);
    SetWindowPos(frame.Handle(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(frame.Handle(), &client);
    EXPECT_GT(frame.resizes, 0);
    EXPECT_EQ(client.bottom - 20, frame.lastView.bottom);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(client.right, barRect.right - barRect.left);
    frame.Destroy();
    EXPECT_EQ(nullptr, frame.Handle());
}

class ButtonHook : public Window {
public:
    LRESULT OnAnswer(WPARAM, LPARAM) { return 7; }

protected:
    const MessageMap* GetMessageMap() const override { return &kMap; }

private:
    static const MessageEntry kEntries[];
    static const MessageMap kMap;
};

const MessageEntry ButtonHook::kEntries[] = {OnMessage(kAnswer, &ButtonHook::OnAnswer)};
const MessageMap ButtonHook::kMap = MakeMessageMap(nullptr, ButtonHook::kEntries);

TEST(Subclassing, MessagesReachTheObjectFirstAndTheRestTheWindow) {
    HWND button = CreateWindowExA(0, "BUTTON", "Press", WS_OVERLAPPEDWINDOW, 0, 0, 100, 30, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, button);
    ButtonHook hook;
    ASSERT_TRUE(hook.Subclass(button));
    EXPECT_EQ(7, SendMessageA(button, kAnswer, 0, 0));
    char text[32] = "";
    GetWindowTextA(button, text, sizeof text);
    EXPECT_STREQ("Press", text);
    hook.Unsubclass();
    EXPECT_EQ(nullptr, Window::FromHandle(button));
    EXPECT_EQ(0, SendMessageA(button, kAnswer, 0, 0));
    DestroyWindow(button);
}

// An application that posts work, counts idle turns and quits from one.
class TestApplication : public Application {
public:
    TestFrame frame;
    std::vector<std::string> events;

    LRESULT OnAnswer(WPARAM, LPARAM) { return 0; }

protected:
    bool InitInstance() override {
        if (!frame.Create("KelpoTestFrame", "app", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100, nullptr,
                          nullptr))
            return false;
        SetMainWindow(frame.Handle());
        ACCEL accel{FVIRTKEY, VK_F5, 150};
        accelerators_ = CreateAcceleratorTableA(&accel, 1);
        SetAccelerators(accelerators_);
        PostMessageA(frame.Handle(), WM_COMMAND, 101, 0);
        return true;
    }
    bool OnIdle(long count) override {
        events.push_back("idle " + std::to_string(count) + " after " +
                         std::to_string(frame.commands.size()));
        if (frame.commands.size() == 1) {
            PostMessageA(frame.Handle(), WM_KEYDOWN, VK_F5, 0);  // translated into command 150
            return false;
        }
        if (count < 2) return true;  // more idle work: another turn without a message
        PostQuitMessage(5);
        return false;
    }
    int ExitInstance() override {
        DestroyAcceleratorTable(accelerators_);
        frame.Destroy();
        return exitCode_ + 1;
    }

private:
    HACCEL accelerators_ = nullptr;
};

TEST(ApplicationLoop, IdleTurnsComeBetweenMessagesAndAcceleratorsBecomeCommands) {
    TestApplication application;
    EXPECT_EQ(&application, Application::Current());
    EXPECT_EQ(6, application.Run());
    EXPECT_EQ((std::vector<UINT>{101, 150}), application.frame.commands);
    ASSERT_GE(application.events.size(), 4u);
    EXPECT_EQ("idle 0 after 1", application.events[0]);
    EXPECT_EQ("idle 0 after 2", application.events[1]);
    EXPECT_EQ("idle 1 after 2", application.events[2]);
    EXPECT_EQ("idle 2 after 2", application.events[3]);
}

class NameDialog : public Dialog {
public:
    bool initialized = false;
    std::string entered;

protected:
    bool OnInitDialog() override {
        initialized = true;
        SetItemText(200, "typed");
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    }
    void OnOK() override {
        entered = ItemText(200);
        EndDialog(IDOK);
    }
};

TEST(Dialogs, ModalDialogsFromTemplatesRunAndEnd) {
    DialogTemplate form("Open", 200, 60);
    form.AddStatic("Location:", 5, 5, 40, 10);
    form.AddEdit(200, 50, 5, 140, 12);
    form.AddButton("OK", IDOK, 40, 40, 50, 14, true);
    form.AddButton("Cancel", IDCANCEL, 100, 40, 50, 14);
    NameDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal(form, nullptr));
    EXPECT_TRUE(dialog.initialized);
    EXPECT_EQ("typed", dialog.entered);
    EXPECT_EQ(nullptr, dialog.Handle());
}

class SettingsPage : public Dialog {
public:
    explicit SettingsPage(bool accept) : accept_(accept) {}
    bool initialized = false;
    int applied = 0;

protected:
    bool OnInitDialog() override {
        initialized = true;
        // Accept the sheet as soon as the first page is up.
        PostMessageA(GetParent(Handle()), PSM_PRESSBUTTON, PSBTN_OK, 0);
        return true;
    }
    bool OnApply() override {
        ++applied;
        return accept_;
    }

private:
    bool accept_;
};

TEST(Dialogs, PropertySheetsApplyTheirShownPages) {
    const DWORD pageStyle = WS_CHILD | WS_CAPTION | DS_3DLOOK;
    DialogTemplate first("General", 200, 100, pageStyle);
    first.AddStatic("First page", 5, 5, 100, 10);
    DialogTemplate second("Advanced", 200, 100, pageStyle);
    second.AddEdit(300, 5, 5, 100, 12);
    SettingsPage general(true), advanced(true);
    PropertySheetDialog sheet("Options");
    sheet.AddPage(general, first);
    sheet.AddPage(advanced, second);
    EXPECT_GT(sheet.DoModal(nullptr), 0);
    EXPECT_TRUE(general.initialized);
    EXPECT_EQ(1, general.applied);
    EXPECT_FALSE(advanced.initialized);  // never shown, never asked
    EXPECT_EQ(0, advanced.applied);
}

TEST(ControlHosting, ControlFilesThatCannotServeFailWithTheirCodes) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const CLSID anyClass = {
        0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    RECT rect{0, 0, 100, 100};
    ControlHost missing;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              missing.CreateFromFile(nullptr, "no-such-control.ocx", anyClass, rect, 1113));
    ControlHost notAServer;
    EXPECT_EQ(CO_E_ERRORINDLL,
              notAServer.CreateFromFile(nullptr, "kernel32.dll", anyClass, rect, 1113));
    EXPECT_EQ(nullptr, notAServer.Dispatch());
    OleUninitialize();
}

}  // namespace
}  // namespace kelpo::framework
