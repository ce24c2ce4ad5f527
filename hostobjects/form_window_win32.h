// The window of an open Form: a dialog, modal or modeless, that plays its
// own movie in a player control of its own (created like the main frame's),
// sized to the movie, optionally without caption, dragged by the movie and
// shaped by a mask. The movie's FSCommands come here: "Kelpo_Ret" keeps its
// argument as the form's return text and ends the form; every other
// command goes to the main frame's command bridge.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>

#include "host/framework/control_host.h"
#include "host/framework/dialog.h"

namespace kelpo {

struct FormOptions {
    std::string movie;
    std::string flashVars;
    std::string caption;
    std::string clipRegion;  // a mask name, "" for none
    bool showCaption = true;
    bool canDrag = false;
};

class FormWindow : public framework::Dialog {
public:
    // `ended` runs when a modeless form has closed (the window is gone).
    FormWindow(const FormOptions& options, void (*ended)(void* user), void* user);
    ~FormWindow() override;

    // Runs the form until it ends; false when its window cannot be made.
    bool RunModal(HWND owner);
    // Opens the form and returns; false when its window cannot be made.
    bool OpenModeless(HWND owner);
    // Ends the form (later, when called from inside the player's own
    // event: the control must not go while it runs).
    void Close();

    bool IsOpen() const { return Handle() != nullptr; }
    IDispatch* Control() const { return host_.Dispatch(); }
    bool HasReturnText() const { return hasReturn_; }
    const std::string& ReturnText() const { return returnText_; }

protected:
    const framework::MessageMap* GetMessageMap() const override;
    bool OnInitDialog() override;
    void OnOK() override { Close(); }
    void OnCancel() override { Close(); }

    LRESULT OnEndForm(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

private:
    class DragForwarder;
    static void OnPlayerEvent(void* user, DISPID id, DISPPARAMS* params);
    void EndNow();
    void ApplyClipRegion(int movieWidth, int movieHeight);

    static const framework::MessageEntry kEntries[];
    static const framework::MessageMap kMap;

    FormOptions options_;
    void (*ended_)(void* user);
    void* user_;
    framework::ControlHost host_;
    std::unique_ptr<DragForwarder> drag_;
    bool modal_ = false;
    bool inPlayerEvent_ = false;
    bool hasReturn_ = false;
    std::string returnText_;
};

}  // namespace kelpo
