// Dialog templates in memory and modal dialogs.
#include "host/framework/dialog.h"

namespace kelpo::framework {

DialogTemplate::DialogTemplate(const std::string& title, int width, int height, DWORD style) {
    style |= DS_SETFONT;
    AddWord(LOWORD(style));
    AddWord(HIWORD(style));
    AddWord(0);  // extended style
    AddWord(0);
    countOffset_ = words_.size();
    AddWord(0);  // item count, raised by AddItem
    AddWord(0);  // x, y, cx, cy
    AddWord(0);
    AddWord(static_cast<WORD>(width));
    AddWord(static_cast<WORD>(height));
    AddWord(0);  // no menu
    AddWord(0);  // the default dialog class
    AddText(title);
    AddWord(8);  // point size, then the face name
    AddText("MS Shell Dlg");
}

void DialogTemplate::AddWord(WORD value) { words_.push_back(value); }

void DialogTemplate::AddText(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    for (wchar_t c : wide) words_.push_back(static_cast<WORD>(c));
}

void DialogTemplate::Align() {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
}

void DialogTemplate::AddItem(WORD classAtom, const std::string& text, WORD id, int x, int y,
                             int width, int height, DWORD style) {
    Align();
    style |= WS_CHILD | WS_VISIBLE;
    AddWord(LOWORD(style));
    AddWord(HIWORD(style));
    AddWord(0);
    AddWord(0);
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(width));
    AddWord(static_cast<WORD>(height));
    AddWord(id);
    AddWord(0xFFFF);
    AddWord(classAtom);
    AddText(text);
    AddWord(0);  // no creation data
    ++words_[countOffset_];
}

void DialogTemplate::AddButton(const std::string& text, WORD id, int x, int y, int width,
                               int height, bool isDefault) {
    AddItem(0x0080, text, id, x, y, width, height,
            WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
}

void DialogTemplate::AddStatic(const std::string& text, int x, int y, int width, int height) {
    AddItem(0x0082, text, static_cast<WORD>(-1), x, y, width, height, SS_LEFT);
}

void DialogTemplate::AddEdit(WORD id, int x, int y, int width, int height) {
    AddItem(0x0081, "", id, x, y, width, height, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
}

const DLGTEMPLATE* DialogTemplate::Data() const {
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

INT_PTR Dialog::DoModal(const DialogTemplate& dialogTemplate, HWND owner) {
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Data(), owner,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(const DialogTemplate& dialogTemplate, HWND owner) {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Data(), owner,
                                      DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(Handle(), result); }

std::string Dialog::ItemText(int id) const {
    char text[1024] = "";
    GetDlgItemTextA(Handle(), id, text, sizeof text);
    return text;
}

void Dialog::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(Handle(), id, text.c_str());
}

// Reached when no map entry took the message: the dialog manager's own
// handling then applies (the procedure returns FALSE).
LRESULT Dialog::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    handled_ = false;
    return 0;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = static_cast<Dialog*>(FromHandle(hwnd));
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->Attach(hwnd);
        return dialog->OnInitDialog();
    }
    return dialog ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

// Property pages carry their object in the PROPSHEETPAGE's lParam, and are
// told about OK and Apply through PSN_APPLY.
INT_PTR CALLBACK Dialog::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = static_cast<Dialog*>(FromHandle(hwnd));
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        dialog->Attach(hwnd);
        return dialog->OnInitDialog();
    }
    if (!dialog) return FALSE;
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT,
                          dialog->OnApply() ? PSNRET_NOERROR : PSNRET_INVALID);
        return TRUE;
    }
    return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = Handle();
    if (message == WM_NCDESTROY) {
        Detach();
        return FALSE;
    }
    handled_ = true;
    LRESULT result = Dispatch(message, wParam, lParam);
    if (!handled_ && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        !(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
        if (LOWORD(wParam) == IDOK)
            OnOK();
        else if (LOWORD(wParam) == IDCANCEL)
            OnCancel();
        return TRUE;
    }
    if (handled_) SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return handled_;
}

PropertySheetDialog::PropertySheetDialog(const std::string& title) : title_(title) {}

void PropertySheetDialog::AddPage(Dialog& page, const DialogTemplate& pageTemplate) {
    PROPSHEETPAGEA sheetPage = {};
    sheetPage.dwSize = sizeof sheetPage;
    sheetPage.dwFlags = PSP_DLGINDIRECT;
    sheetPage.hInstance = GetModuleHandleA(nullptr);
    sheetPage.pResource = pageTemplate.Data();
    sheetPage.pfnDlgProc = Dialog::PageProc;
    sheetPage.lParam = reinterpret_cast<LPARAM>(&page);
    pages_.push_back(sheetPage);
}

INT_PTR PropertySheetDialog::DoModal(HWND owner) {
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = title_.c_str();
    header.nPages = static_cast<UINT>(pages_.size());
    header.ppsp = pages_.data();
    return ::PropertySheetA(&header);
}

}  // namespace kelpo::framework
