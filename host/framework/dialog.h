// Modal dialogs built from in-memory templates, with message maps like any
// window: the dialog procedure hands messages to the map and reports whether
// an entry took them.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "host/framework/window.h"

namespace kelpo::framework {

// Builds a DLGTEMPLATE with its items (dialog units, the "MS Shell Dlg" font).
class DialogTemplate {
public:
    DialogTemplate(const std::string& title, int width, int height,
                   DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    // Predefined classes: 0x0080 button, 0x0081 edit, 0x0082 static.
    void AddItem(WORD classAtom, const std::string& text, WORD id, int x, int y, int width,
                 int height, DWORD style);
    void AddButton(const std::string& text, WORD id, int x, int y, int width, int height,
                   bool isDefault = false);
    void AddStatic(const std::string& text, int x, int y, int width, int height);
    void AddEdit(WORD id, int x, int y, int width, int height);
    const DLGTEMPLATE* Data() const;

private:
    void AddWord(WORD value);
    void AddText(const std::string& text);
    void Align();
    std::vector<WORD> words_;
    size_t countOffset_ = 0;
};

class Dialog : public Window {
    friend class PropertySheetDialog;

public:
    // Runs the dialog modally; the value passed to EndDialog, or -1.
    INT_PTR DoModal(const DialogTemplate& dialogTemplate, HWND owner);
    // Creates the dialog modeless (it lives until destroyed); false when it
    // cannot be made.
    bool CreateModeless(const DialogTemplate& dialogTemplate, HWND owner);
    void EndDialog(INT_PTR result);

    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text);

protected:
    // WM_INITDIALOG: true lets the system set the focus.
    virtual bool OnInitDialog() { return true; }
    // IDOK and IDCANCEL end the dialog unless a map entry takes them.
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A property page's changes are accepted (OK or Apply); false keeps the
    // sheet open.
    virtual bool OnApply() { return true; }
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool handled_ = false;
};

// A modal property sheet of pages built from templates. Each page is a
// Dialog; its OnApply runs when the sheet is accepted (pages never shown are
// not asked).
class PropertySheetDialog {
public:
    explicit PropertySheetDialog(const std::string& title);
    // The page and its template must outlive DoModal.
    void AddPage(Dialog& page, const DialogTemplate& pageTemplate);
    // Positive when the sheet was accepted, 0 when cancelled, -1 on failure.
    INT_PTR DoModal(HWND owner);

private:
    std::string title_;
    std::vector<PROPSHEETPAGEA> pages_;
};

}  // namespace kelpo::framework
