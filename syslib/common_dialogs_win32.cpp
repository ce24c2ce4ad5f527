// The common dialogs of the Dialogs class (Windows only): open and save a
// file, choose a colour, choose a font. Each is owned by the host's main
// window and works on buffers of fixed size that every text from a script
// is bounded to; whatever the dialog writes back is read inside its buffer.
// Colours cross as 0xRRGGBB to scripts and as COLORREF (0x00BBGGRR) to the
// system.
#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/dialogs_win32.h"
#include "syslib/font_object_win32.h"
#include "syslib/host_window_win32.h"

namespace kelpo {
namespace {

// OFN_ENABLESIZING | OFN_EXPLORER | OFN_HIDEREADONLY; the save dialog adds
// OFN_ENABLEHOOK, the open dialog OFN_ALLOWMULTISELECT on request.
constexpr DWORD kOpenFlags = 0x880004;
constexpr DWORD kSaveFlags = 0x880024;
// A path and its terminator.
constexpr DWORD kPathBuffer = 261;
// Room for the folder and the names of a multiple selection. The dialog
// fails with FNERR_BUFFERTOOSMALL (reported as any failure) rather than
// cutting the list when the names do not fit.
constexpr DWORD kMultiSelectBuffer = 32768;
// Filters and titles are short texts; longer ones are cut.
constexpr size_t kMaxFilterText = 8192;
constexpr size_t kMaxTitleText = 1024;

struct DialogError {
    DWORD code;
    const char* text;
};

// CommDlgExtendedError's codes are the common dialogs' own, not system
// error codes: the system's message table would give unrelated texts for
// them, so each has its text here.
const DialogError kDialogErrors[] = {
    {CDERR_DIALOGFAILURE, "The dialog box could not be created."},
    {CDERR_STRUCTSIZE, "The dialog's structure size is invalid."},
    {CDERR_INITIALIZATION, "The dialog box could not be initialized."},
    {CDERR_NOTEMPLATE, "The dialog box template is missing."},
    {CDERR_NOHINSTANCE, "The dialog box template has no instance handle."},
    {CDERR_LOADSTRFAILURE, "A string resource of the dialog could not be loaded."},
    {CDERR_FINDRESFAILURE, "A resource of the dialog could not be found."},
    {CDERR_LOADRESFAILURE, "A resource of the dialog could not be loaded."},
    {CDERR_LOCKRESFAILURE, "A resource of the dialog could not be locked."},
    {CDERR_MEMALLOCFAILURE, "The dialog could not allocate memory."},
    {CDERR_MEMLOCKFAILURE, "The dialog could not lock memory."},
    {CDERR_NOHOOK, "The dialog's hook procedure is missing."},
    {CDERR_REGISTERMSGFAIL, "The dialog could not register its window messages."},
    {CFERR_NOFONTS, "No fonts are installed."},
    {CFERR_MAXLESSTHANMIN, "The largest font size is smaller than the smallest."},
    {FNERR_SUBCLASSFAILURE, "The file list could not be set up (not enough memory)."},
    {FNERR_INVALIDFILENAME, "The file name is invalid."},
    {FNERR_BUFFERTOOSMALL, "The selected file names are too long for the dialog's buffer."},
};

// After a dialog answered FALSE: a cancel (code 0) is no error; any other
// code leaves its text in the context's error text.
void NoteDialogFailure(ScriptContext* context) {
    const DWORD code = CommDlgExtendedError();
    if (code == 0) return;
    const char* text = "The dialog failed.";
    for (const DialogError& error : kDialogErrors)
        if (error.code == code) text = error.text;
    std::snprintf(context->errorText, kErrorTextSize, "%s (common dialog error 0x%04lX)", text,
                  static_cast<unsigned long>(code));
}

COLORREF ColorRefOf(int64_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

int64_t RgbOf(COLORREF color) {
    return (static_cast<int64_t>(GetRValue(color)) << 16) | (GetGValue(color) << 8) |
           GetBValue(color);
}

// The texts an open or save dialog starts from. The filter "Text|*.txt|All|*.*"
// becomes the system's list of NUL-separated names and patterns, ended by
// an empty entry.
struct FileDialogTexts {
    std::string filter;
    std::string title;
    std::vector<char> file;
};

void ReadFileDialogArgs(ScriptContext* context, Value* args, DWORD bufferSize,
                        FileDialogTexts* texts) {
    if (IsStringArg(args, 1)) {
        texts->filter = AnsiOfValue(context, args[1], kMaxFilterText);
        for (char& c : texts->filter)
            if (c == '|') c = '\0';
        if (!texts->filter.empty()) texts->filter.append(2, '\0');
    }
    if (IsStringArg(args, 2)) texts->title = AnsiOfValue(context, args[2], kMaxTitleText);
    texts->file.assign(bufferSize, '\0');
    std::string file;
    // An initial name that would not fit the buffer is left out.
    if (IsStringArg(args, 3) && BoundedAnsi(context, args[3], kPathBuffer - 1, file))
        std::memcpy(texts->file.data(), file.data(), file.size());
}

void FillFileDialog(OPENFILENAMEA* dialog, FileDialogTexts* texts, DWORD flags) {
    std::memset(dialog, 0, sizeof *dialog);
    dialog->lStructSize = sizeof *dialog;
    dialog->hwndOwner = SyslibMainWindow();
    dialog->lpstrFilter = texts->filter.empty() ? nullptr : texts->filter.c_str();
    dialog->nFilterIndex = 1;
    dialog->lpstrFile = texts->file.data();
    dialog->nMaxFile = static_cast<DWORD>(texts->file.size());
    dialog->lpstrTitle = texts->title.empty() ? nullptr : texts->title.c_str();
    dialog->Flags = flags;
}

// The single path the dialog wrote, read up to its NUL or the buffer's end.
Value PathOf(ScriptContext* context, const std::vector<char>& buffer) {
    return NewStringFromAnsi(context, buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// A multiple selection: the NUL-separated texts up to the empty one (the
// folder, then the names; or one full path), never read past the buffer.
Value SelectionOf(ScriptContext* context, const std::vector<char>& buffer) {
    Value list = NewArray(context, 0);
    uint64_t count = 0;
    size_t at = 0;
    while (at < buffer.size() && buffer[at] != '\0') {
        const size_t length = strnlen(buffer.data() + at, buffer.size() - at);
        ArraySet(context, list, NewStringFromAnsi(context, buffer.data() + at, length), count++);
        list.array->length = count;
        at += length + 1;
    }
    return list;
}

// The save dialog's flags ask for a hook; this one leaves every message to
// the dialog.
UINT_PTR CALLBACK DefaultFileHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

Value FileOpenDialog(ScriptContext* context, Value* args) {
    const bool multiSelect = BooleanArg(args, 4, false);
    FileDialogTexts texts;
    ReadFileDialogArgs(context, args, multiSelect ? kMultiSelectBuffer : kPathBuffer, &texts);
    OPENFILENAMEA dialog;
    FillFileDialog(&dialog, &texts, multiSelect ? kOpenFlags | OFN_ALLOWMULTISELECT : kOpenFlags);
    if (!GetOpenFileNameA(&dialog)) {
        NoteDialogFailure(context);
        return MakeBoolean(false);
    }
    return multiSelect ? SelectionOf(context, texts.file) : PathOf(context, texts.file);
}

Value FileSaveDialog(ScriptContext* context, Value* args) {
    FileDialogTexts texts;
    ReadFileDialogArgs(context, args, kPathBuffer, &texts);
    // A script's flags may not ask for a template (there is none to give)
    // nor for a multiple selection (the answer is one path).
    const DWORD scriptFlags =
        static_cast<DWORD>(IntegerArg(args, 4, 0)) &
        ~static_cast<DWORD>(OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE | OFN_ALLOWMULTISELECT);
    OPENFILENAMEA dialog;
    FillFileDialog(&dialog, &texts, kSaveFlags | scriptFlags);
    dialog.lpfnHook = DefaultFileHook;
    if (!GetSaveFileNameA(&dialog)) {
        NoteDialogFailure(context);
        return MakeBoolean(false);
    }
    return PathOf(context, texts.file);
}

Value ColorDialog(ScriptContext* context, Value* args) {
    // The custom colours start black at every call.
    COLORREF custom[16] = {};
    CHOOSECOLORA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = SyslibMainWindow();
    dialog.lpCustColors = custom;
    dialog.Flags = CC_FULLOPEN | CC_ANYCOLOR;
    if (IsIntegerArg(args, 1)) {
        dialog.rgbResult = ColorRefOf(args[1].integer);
        dialog.Flags |= CC_RGBINIT;
    }
    if (!ChooseColorA(&dialog)) {
        NoteDialogFailure(context);
        return MakeBoolean(false);
    }
    return MakeInteger(RgbOf(dialog.rgbResult));
}

Value FontDialog(ScriptContext* context, Value* args) {
    FontRecord chosen = {};
    chosen.logFont.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    const FontRecord* given = HasArg(args, 1) ? FontRecordOf(args[1]) : nullptr;
    if (given != nullptr) {
        chosen = *given;
        // Rounded, so that the size the dialog gives back is the size given.
        chosen.logFont.lfHeight = -MulDiv(given->size, dotsPerInch, 72);
    }
    chosen.logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    CHOOSEFONTA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = SyslibMainWindow();
    dialog.lpLogFont = &chosen.logFont;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    dialog.rgbColors = ColorRefOf(chosen.color);
    if (!ChooseFontA(&dialog)) {
        NoteDialogFailure(context);
        return MakeNull();
    }
    chosen.color = static_cast<int32_t>(RgbOf(dialog.rgbColors));
    chosen.size = dialog.iPointSize / 10;
    return NewFontObject(context, chosen);
}

}  // namespace kelpo
