#include "hostobjects/form_window_win32.h"

#include <vector>

#include "host/command_bridge.h"
#include "host/movie_info.h"
#include "host/project_data.h"
#include "host/safe_names.h"
#include "hostobjects/control_dispatch_win32.h"
#include "hostobjects/projector_port_win32.h"
#include "hostobjects/region_file.h"
#include "hostobjects/region_scaling.h"
#include "platform/files.h"

namespace kelpo {

namespace {

const CLSID kShockwaveFlashClass = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kShockwaveFlashEvents = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DISPID kFSCommand = 150;
constexpr UINT kPlayerId = 1113;
constexpr UINT kEndFormMessage = WM_APP + 1;
// A movie whose size cannot be read plays at the player's default size.
constexpr int kDefaultWidth = 550, kDefaultHeight = 400;

std::string TextOf(const VARIANT& value) {
    if (value.vt != VT_BSTR || !value.bstrVal) return std::string();
    int units = static_cast<int>(SysStringLen(value.bstrVal));
    int length = WideCharToMultiByte(CP_ACP, 0, value.bstrVal, units, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    if (length)
        WideCharToMultiByte(CP_ACP, 0, value.bstrVal, units, &text[0], length, nullptr, nullptr);
    return text;
}

std::u16string WideOf(const std::string& ansi) {
    int length =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(length), u'\0');
    if (length)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                            reinterpret_cast<wchar_t*>(&wide[0]), length);
    return wide;
}

// A form's movie is a file as given, or one of the project's files in the
// instance folder.
std::string MoviePath(const std::string& movie) {
    if (movie.empty() || FileExists(movie)) return movie;
    const std::string& folder = TheProject().instanceFolder;
    if (!folder.empty() && IsBareFileName(movie) && FileExists(folder + movie))
        return folder + movie;
    return movie;
}

}  // namespace

// Lets a press on the movie drag the whole form, as on a caption.
class FormWindow::DragForwarder : public framework::Window {
protected:
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_LBUTTONDOWN) {
            ReleaseCapture();
            SendMessageA(GetParent(Handle()), WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        }
        return Window::DefaultProc(message, wParam, lParam);
    }
};

const framework::MessageEntry FormWindow::kEntries[] = {
    framework::OnMessage(kEndFormMessage, &FormWindow::OnEndForm),
    framework::OnMessage(WM_DESTROY, &FormWindow::OnDestroy),
};
const framework::MessageMap FormWindow::kMap = framework::MakeMessageMap(nullptr, kEntries);

const framework::MessageMap* FormWindow::GetMessageMap() const { return &kMap; }

FormWindow::FormWindow(const FormOptions& options, void (*ended)(void* user), void* user)
    : options_(options), ended_(ended), user_(user) {}

FormWindow::~FormWindow() {
    ended_ = nullptr;  // the owner is going: nobody to tell
    if (drag_) drag_->Unsubclass();
    host_.Close();
    if (Handle()) DestroyWindow(Handle());
}

namespace {

framework::DialogTemplate FormTemplate(const FormOptions& options, bool visible) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    if (options.showCaption) style |= WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    return framework::DialogTemplate(options.caption, 0, 0, style);
}

}  // namespace

bool FormWindow::RunModal(HWND owner) {
    modal_ = true;
    return DoModal(FormTemplate(options_, false), owner) != -1;
}

bool FormWindow::OpenModeless(HWND owner) {
    modal_ = false;
    return CreateModeless(FormTemplate(options_, true), owner);
}

bool FormWindow::OnInitDialog() {
    HWND hwnd = Handle();
    SetWindowTextA(hwnd, options_.caption.c_str());
    const std::string movie = MoviePath(options_.movie);
    MovieInfo info;
    int width = kDefaultWidth, height = kDefaultHeight;
    if (ReadMovieInfoFromFile(movie, info) && info.width > 0 && info.height > 0)
        width = info.width, height = info.height;

    // The client area is the movie's size; the form opens centred on its owner.
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
    RECT around{};
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &around))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, around.left + (around.right - around.left - w) / 2,
                 around.top + (around.bottom - around.top - h) / 2, w, h,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    RECT client{0, 0, width, height};
    const std::string file = ProjectorPlayerFile();
    HRESULT hr = file.empty() ? host_.CreateFromClsid(hwnd, kShockwaveFlashClass, client, kPlayerId)
                              : host_.CreateFromFile(hwnd, file.c_str(), kShockwaveFlashClass,
                                                     client, kPlayerId);
    if (FAILED(hr)) {
        // No player, no form: it ends with no return text.
        PostMessageA(hwnd, kEndFormMessage, 0, 0);
        return true;
    }
    host_.ConnectEvents(kShockwaveFlashEvents, OnPlayerEvent, this);
    IDispatch* control = host_.Dispatch();
    // FlashVars are read when the movie loads: they go first.
    if (!options_.flashVars.empty())
        DispatchPut(control, "FlashVars", ControlValue::OfText(WideOf(options_.flashVars)));
    DispatchPut(control, "Movie", ControlValue::OfText(WideOf(movie)));
    if (HWND player = host_.ControlWindow()) {
        if (options_.canDrag) {
            drag_ = std::make_unique<DragForwarder>();
            drag_->Subclass(player);
        }
        SetFocus(player);
    }
    if (!options_.clipRegion.empty()) ApplyClipRegion(width, height);
    return false;  // the player has the focus
}

void FormWindow::ApplyClipRegion(int movieWidth, int movieHeight) {
    std::string path = RegionFilePath(TheProject().instanceFolder, options_.clipRegion);
    std::vector<uint8_t> file, data, scaled;
    if (path.empty() || !ReadWholeFile(path, file) || !ParseRegionFile(file, data)) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    MovieLayout layout{movieWidth, movieHeight, client.right, client.bottom, 0};
    if (!ScaleRegionData(data, layout, scaled)) return;
    HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(scaled.size()),
                                  reinterpret_cast<const RGNDATA*>(scaled.data()));
    if (!region) return;
    RECT window{};
    POINT origin{0, 0};
    GetWindowRect(Handle(), &window);
    ClientToScreen(Handle(), &origin);
    OffsetRgn(region, origin.x - window.left, origin.y - window.top);
    SetWindowRgn(Handle(), region, TRUE);
}

void FormWindow::OnPlayerEvent(void* user, DISPID id, DISPPARAMS* params) {
    if (id != kFSCommand || !params || params->cArgs < 2) return;
    auto* form = static_cast<FormWindow*>(user);
    // Arguments arrive last first: command, then its argument.
    const std::string command = TextOf(params->rgvarg[1]), argument = TextOf(params->rgvarg[0]);
    if (SameNameIgnoringCase(command, "Kelpo_Ret")) {
        form->returnText_ = argument;
        form->hasReturn_ = true;
        form->inPlayerEvent_ = true;
        form->Close();
        form->inPlayerEvent_ = false;
        return;
    }
    if (CommandBridge* bridge = ProjectorCommandBridge())
        ExecuteCommand(*bridge, command, argument);
}

void FormWindow::Close() {
    if (!Handle()) return;
    if (inPlayerEvent_ || !modal_) {
        PostMessageA(Handle(), kEndFormMessage, 0, 0);
        return;
    }
    EndNow();
}

LRESULT FormWindow::OnEndForm(WPARAM, LPARAM) {
    EndNow();
    return 0;
}

void FormWindow::EndNow() {
    if (!Handle()) return;
    if (modal_) {
        EndDialog(IDOK);
        return;
    }
    DestroyWindow(Handle());
    if (ended_) ended_(user_);
}

LRESULT FormWindow::OnDestroy(WPARAM, LPARAM) {
    if (drag_) drag_->Unsubclass();
    host_.Close();
    return 0;
}

}  // namespace kelpo
