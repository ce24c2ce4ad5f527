// Mouse input through the active control's window: positions map through
// the inverse view matrix to movie twips, the cursor becomes a hand over
// buttons, and a click runs the button's actions (here an FSCommand).
#include <gtest/gtest.h>

#include "tools/movie-writer/movie_assembler.h"
#include "tests/unit/player_control/control_harness.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

constexpr DISPID kFsCommand = 150;

// A 200 by 100 pixel stage with a button covering (50, 25)-(150, 75) whose
// release raises FSCommand("clicked", "button").
std::wstring ButtonMovie() {
    MovieHeader header;
    header.widthTwips = 200 * kTwipsPerPixel;
    header.heightTwips = 100 * kTwipsPerPixel;
    MovieBuilder movie(header);
    movie.Background(0xFFFFFF);
    uint16_t face =
        movie.Shape(RectangleShape(0, 0, 100 * kTwipsPerPixel, 50 * kTwipsPerPixel, 0x008000));
    std::vector<ButtonLayer> records = {{0x0F, face, 1, {}}};
    uint16_t button = movie.Button2(records, {{0x08, "getURL 'FSCommand:clicked', 'button'"}});
    movie.PlaceAt(1, button, Translate(50 * kTwipsPerPixel, 25 * kTwipsPerPixel))
        .Actions("stop")
        .ShowFrame();
    return WriteScratchFile(L"button.swf", movie.Bytes());
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

HCURSOR CursorAfterSetCursor(HWND window) {
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

TEST(ControlInput, HandCursorOverButtonsOnlyAtTheScaledPosition) {
    // The window is twice the stage: the button covers (100, 50)-(300, 150).
    HostedControl control(true, 400, 200);
    ASSERT_EQ(control.Put(L"Movie", Variant(ButtonMovie().c_str())), S_OK);
    HWND window = control.controlWindow();
    ASSERT_NE(window, nullptr);
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    const struct {
        int x, y;
        bool overButton;
    } cases[] = {{200, 100, true}, {110, 60, true},   {290, 140, true}, {90, 100, false},
                 {200, 40, false}, {310, 100, false}, {20, 20, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        SendMessageW(window, WM_MOUSEMOVE, 0, At(c.x, c.y));
        EXPECT_EQ(CursorAfterSetCursor(window) == hand, c.overButton);
    }
}

TEST(ControlInput, ClickOnAButtonRaisesItsCommandAndElsewhereNothing) {
    HostedControl control(true, 400, 200);
    ASSERT_EQ(control.Put(L"Movie", Variant(ButtonMovie().c_str())), S_OK);
    HWND window = control.controlWindow();
    ASSERT_NE(window, nullptr);

    // Outside the button: nothing happens.
    SendMessageW(window, WM_MOUSEMOVE, 0, At(20, 20));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    SendMessageW(window, WM_LBUTTONUP, 0, At(20, 20));
    HostedControl::PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(control.EventsWithId(kFsCommand).empty());

    SendMessageW(window, WM_MOUSEMOVE, 0, At(200, 100));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(200, 100));
    SendMessageW(window, WM_LBUTTONUP, 0, At(200, 100));
    ASSERT_TRUE(
        HostedControl::PumpUntil([&] { return !control.EventsWithId(kFsCommand).empty(); }, 5000));
    auto events = control.EventsWithId(kFsCommand);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].arguments, (std::vector<std::wstring>{L"clicked", L"button"}));
}

}  // namespace
}  // namespace kelpo::test
