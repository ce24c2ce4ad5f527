// The shell classes against the shell itself, under Wine: a link written
// by the Shortcut class read through the shell's own IShellLinkA (and the
// file's header bytes), a link the shell writes read by the Shortcut
// class, Shell.run's window belonging to the program it started, and the
// Integer kind of version numbers, which scripts cannot tell from Floats.
// Files live in the temporary folder and are removed; the started program
// is closed through its window.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: the shell headers build on it.
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "compiler/engine.h"
#include "runtime/atoms.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tools/kelpo/command_line_library.h"

namespace kelpo {
namespace {

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string SystemPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

// A script text literal of `text`.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

class ShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallLibraries();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EngineOptions options = DefaultEngineOptions();
        runner_ = NewScriptRunner(&options);
        ASSERT_NE(runner_, nullptr);
    }
    void TearDown() override {
        if (runner_ != nullptr) FreeScriptRunner(runner_);
        CoUninitialize();
    }
    void Run(const std::string& source) {
        ASSERT_EQ(RunSource(runner_, source.c_str()), 1) << runner_->context->errorText;
    }
    std::string GlobalText(const char* name) {
        const Value value = GetGlobal(runner_->context, name);
        if (value.tag != ValueTag::String) return "<not a String>";
        char* text = StringToAnsi(runner_->context, value);
        std::string out(text);
        ContextFree(text);
        return out;
    }
    ScriptRunner* runner_ = nullptr;
};

IShellLinkA* NewShellLink() {
    IShellLinkA* link = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    return link;
}

TEST_F(ShellLinkTest, TheShellReadsWhatShortcutWrites) {
    const std::string path = TempPath("kelpo link check.lnk");
    const std::string target = SystemPath("notepad.exe");
    const std::string folder = SystemPath("");
    DeleteFileA(path.c_str());
    Run("var s = new Shortcut(" + Quoted(path) + ");" + "s.targetPath = " + Quoted(target) + ";" +
        "s.arguments = '/p \"some file.txt\"';" +
        "s.description = 'Written by the Shortcut class';" + "s.workingDirectory = " +
        Quoted(folder) + ";" + "s.iconLocation = " + Quoted(SystemPath("shell32.dll") + ",4") +
        ";" + "s.windowStyle = 3;" + "s.hotKey = 'CTRL+ALT+F5';" + "saved = s.save();");
    const Value saved = GetGlobal(runner_->context, "saved");
    ASSERT_TRUE(saved.tag == ValueTag::Boolean && saved.boolean);

    IShellLinkA* link = NewShellLink();
    ASSERT_NE(link, nullptr);
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    ASSERT_EQ(file->Load(wide, STGM_READ), S_OK);

    char text[1024] = {};
    ASSERT_EQ(link->GetPath(text, sizeof text, nullptr, 0), S_OK);
    EXPECT_EQ(_stricmp(text, target.c_str()), 0) << text;
    ASSERT_EQ(link->GetArguments(text, sizeof text), S_OK);
    EXPECT_STREQ(text, "/p \"some file.txt\"");
    ASSERT_EQ(link->GetDescription(text, sizeof text), S_OK);
    EXPECT_STREQ(text, "Written by the Shortcut class");
    ASSERT_EQ(link->GetWorkingDirectory(text, sizeof text), S_OK);
    EXPECT_EQ(std::string(text), folder);
    int icon = -1;
    ASSERT_EQ(link->GetIconLocation(text, sizeof text, &icon), S_OK);
    EXPECT_EQ(std::string(text), SystemPath("shell32.dll"));
    EXPECT_EQ(icon, 4);
    WORD hotKey = 0;
    ASSERT_EQ(link->GetHotkey(&hotKey), S_OK);
    EXPECT_EQ(hotKey, MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT));
    file->Release();
    link->Release();

    // The shell link header: the show command at 0x3C, the hot key at 0x40.
    // (Wine's link object reads every stored show command back as 1, so
    // the stored byte is checked here.)
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    ASSERT_GE(bytes.size(), 0x4Cu);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x4C);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x3C]), 3);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x40]), VK_F5);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x41]), HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(ShellLinkTest, ShortcutReadsWhatTheShellWrites) {
    const std::string path = TempPath("kelpo shell link.lnk");
    const std::string target = SystemPath("cmd.exe");
    IShellLinkA* link = NewShellLink();
    ASSERT_NE(link, nullptr);
    link->SetPath(target.c_str());
    link->SetArguments("/c exit 3");
    link->SetDescription("Written by the shell");
    link->SetHotkey(MAKEWORD('K', HOTKEYF_SHIFT | HOTKEYF_CONTROL));
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    ASSERT_EQ(file->Save(wide, TRUE), S_OK);
    file->Release();
    link->Release();

    Run("var s = new Shortcut(" + Quoted(path) + ");" +
        "target = s.targetPath; args = s.arguments; text = s.description; key = s.hotKey;");
    EXPECT_EQ(_stricmp(GlobalText("target").c_str(), target.c_str()), 0) << GlobalText("target");
    EXPECT_EQ(GlobalText("args"), "/c exit 3");
    EXPECT_EQ(GlobalText("text"), "Written by the shell");
    EXPECT_EQ(GlobalText("key"), "CTRL+SHIFT+K");
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(ShellLinkTest, RunGivesTheWindowOfTheStartedProgram) {
    Run("var w = Shell.run('notepad.exe'); handle = w === null ? null : w.handle;");
    const Value handle = GetGlobal(runner_->context, "handle");
    ASSERT_EQ(handle.tag, ValueTag::Integer);
    const HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(handle.integer));
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, 0);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    ASSERT_NE(processId, 0u);
    ASSERT_NE(processId, GetCurrentProcessId());
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(process, nullptr);
    // An unchanged document closes without asking.
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
    CloseHandle(process);
}

TEST_F(ShellLinkTest, VersionNumbersAreIntegers) {
    Run("var v = Shell.getFileVersionInfo(Shell.getSpecialFolder('system') + '\\\\kernel32.dll');"
        "file = v.fileVersionNum; product = v.productVersionNum; translation = v.translation;");
    EXPECT_EQ(GetGlobal(runner_->context, "file").tag, ValueTag::Integer);
    EXPECT_EQ(GetGlobal(runner_->context, "product").tag, ValueTag::Integer);
    EXPECT_EQ(GetGlobal(runner_->context, "translation").tag, ValueTag::Integer);
}

}  // namespace
}  // namespace kelpo
