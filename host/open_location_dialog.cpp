// The "Open" dialog.
#include "host/open_location_dialog.h"

#include <commdlg.h>

#include "host/framework/dialog.h"

namespace kelpo {

namespace {

constexpr WORD kLocationId = 1001;
constexpr WORD kBrowseId = 1002;

class OpenLocationDialog : public framework::Dialog {
public:
    std::string location;

protected:
    const framework::MessageMap* GetMessageMap() const override { return &kMap; }
    void OnOK() override {
        location = ItemText(kLocationId);
        EndDialog(IDOK);
    }
    void OnBrowse(UINT) {
        char file[MAX_PATH] = "";
        OPENFILENAMEA open = {};
        open.lStructSize = sizeof open;
        open.hwndOwner = Handle();
        open.lpstrFilter = "Flash (*.swf,*.spl)\0*.swf;*.spl\0All Files (*.*)\0*.*\0";
        open.lpstrFile = file;
        open.nMaxFile = sizeof file;
        open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        if (GetOpenFileNameA(&open)) SetItemText(kLocationId, file);
    }

private:
    static const framework::MessageEntry kEntries[];
    static const framework::MessageMap kMap;
};

const framework::MessageEntry OpenLocationDialog::kEntries[] = {
    framework::OnCommand(kBrowseId, &OpenLocationDialog::OnBrowse),
};
const framework::MessageMap OpenLocationDialog::kMap = framework::MakeMessageMap(nullptr, kEntries);

}  // namespace

bool AskForLocation(HWND owner, std::string& location) {
    framework::DialogTemplate form("Open", 260, 82);
    form.AddStatic(
        "Enter the World Wide Web location (URL) or specify the local file you would like to open.",
        7, 7, 246, 20);
    form.AddStatic("Location:", 7, 33, 40, 10);
    form.AddEdit(kLocationId, 48, 31, 205, 13);
    form.AddButton("OK", IDOK, 89, 60, 50, 14, true);
    form.AddButton("Cancel", IDCANCEL, 146, 60, 50, 14);
    form.AddButton("&Browse...", kBrowseId, 203, 60, 50, 14);
    OpenLocationDialog dialog;
    if (dialog.DoModal(form, owner) != IDOK) return false;
    location = dialog.location;
    return true;
}

}  // namespace kelpo
