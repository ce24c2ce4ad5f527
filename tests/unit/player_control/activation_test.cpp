// The control's life in a container: in-place and UI activation, moving
// with its site, deactivation taking its window away, and the extent and
// misc status a container asks for before showing it.
#include <gtest/gtest.h>

#include "tests/unit/player_control/control_harness.h"

namespace kelpo::test {
namespace {

TEST(ControlActivation, VerbsActivateMoveAndDeactivate) {
    HostedControl control(false);
    EXPECT_EQ(control.controlWindow(), nullptr);
    IOleObject* object = Query<IOleObject>(control.unknown(), IID_IOleObject);
    IOleInPlaceObject* inPlace = Query<IOleInPlaceObject>(control.unknown(), IID_IOleInPlaceObject);
    ASSERT_NE(object, nullptr);
    ASSERT_NE(inPlace, nullptr);

    RECT position{10, 20, 110, 70};
    ASSERT_EQ(
        object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, nullptr, 0, control.hostWindow(), &position),
        S_OK);
    HWND window = control.controlWindow();
    ASSERT_NE(window, nullptr);
    RECT placed;
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, control.hostWindow(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right, 110);
    EXPECT_EQ(placed.bottom, 70);

    // Activating again keeps the one window.
    EXPECT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, control.hostWindow(), &position),
              S_OK);
    EXPECT_EQ(control.controlWindow(), window);

    RECT moved{0, 0, 64, 48};
    ASSERT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);
    EXPECT_EQ(inPlace->SetObjectRects(nullptr, &moved), E_POINTER);

    ASSERT_EQ(inPlace->UIDeactivate(), S_OK);
    ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(control.controlWindow(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    // Deactivating twice is harmless.
    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);

    EXPECT_EQ(object->DoVerb(42, nullptr, nullptr, 0, control.hostWindow(), &position),
              OLEOBJ_S_INVALIDVERB);
    inPlace->Release();
    object->Release();
}

TEST(ControlActivation, ActivationWithoutASiteFails) {
    HostedControl control(false);
    IOleObject* object = Query<IOleObject>(control.unknown(), IID_IOleObject);
    ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    RECT position{0, 0, 10, 10};
    EXPECT_TRUE(FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0,
                                      control.hostWindow(), &position)));
    EXPECT_EQ(control.controlWindow(), nullptr);
    object->Release();
}

TEST(ControlActivation, ExtentAndMiscStatus) {
    HostedControl control(false);
    IOleObject* object = Query<IOleObject>(control.unknown(), IID_IOleObject);
    SIZEL size{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    SIZEL wanted{5000, 3000};
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(size.cx, 5000);
    EXPECT_EQ(size.cy, 3000);
    EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &size), DV_E_DVASPECT);

    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_TRUE(status & OLEMISC_ACTIVATEWHENVISIBLE);
    EXPECT_TRUE(status & OLEMISC_SETCLIENTSITEFIRST);
    EXPECT_TRUE(status & OLEMISC_INSIDEOUT);

    IOleControl* oleControl = Query<IOleControl>(control.unknown(), IID_IOleControl);
    CONTROLINFO info{};
    info.cb = sizeof info;
    EXPECT_EQ(oleControl->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);
    oleControl->Release();
    object->Release();
}

}  // namespace
}  // namespace kelpo::test
