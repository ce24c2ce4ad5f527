// The control DLL as a COM server: its exports, the class factory with and
// without licensing, the interfaces a control object answers to, and the
// version resource hosts check.
#include <gtest/gtest.h>

#include "tests/unit/player_control/control_harness.h"

namespace kelpo::test {
namespace {

TEST(ControlServer, ExportsTheEntryPointsByUndecoratedName) {
    const ControlDll& dll = LoadControlDll();
    ASSERT_NE(dll.module, nullptr);
    EXPECT_NE(dll.getClassObject, nullptr);
    EXPECT_NE(dll.canUnloadNow, nullptr);
}

TEST(ControlServer, HandsOutFactoriesOnlyForTheControlClass) {
    const ControlDll& dll = LoadControlDll();
    void* object = nullptr;
    EXPECT_EQ(dll.getClassObject(IID_IDispatch, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(dll.getClassObject(kControlClassId, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(dll.getClassObject(kControlClassId, IID_IClassFactory, nullptr), E_POINTER);
}

TEST(ControlServer, FactoryCreatesControlsAndRefusesAggregation) {
    const ControlDll& dll = LoadControlDll();
    IClassFactory* factory = nullptr;
    ASSERT_EQ(
        dll.getClassObject(kControlClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    EXPECT_EQ(dll.canUnloadNow(), S_FALSE);  // the factory is held

    IOleObject* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object)),
              S_OK);
    CLSID id{};
    EXPECT_EQ(object->GetUserClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, kControlClassId));

    IUnknown* outer = object;
    void* aggregated = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);

    object->Release();
    factory->Release();
    EXPECT_EQ(dll.canUnloadNow(), S_OK);
}

TEST(ControlServer, LicensedCreationAcceptsAnyKey) {
    const ControlDll& dll = LoadControlDll();
    IClassFactory2* factory = nullptr;
    ASSERT_EQ(
        dll.getClassObject(kControlClassId, IID_IClassFactory2, reinterpret_cast<void**>(&factory)),
        S_OK);
    LICINFO info{};
    EXPECT_EQ(factory->GetLicInfo(&info), S_OK);
    EXPECT_TRUE(info.fLicVerified);
    EXPECT_TRUE(info.fRuntimeKeyAvail);
    BSTR key = nullptr;
    EXPECT_EQ(factory->RequestLicKey(0, &key), S_OK);
    SysFreeString(key);

    for (const wchar_t* licence : {L"", L"any key at all", static_cast<const wchar_t*>(nullptr)}) {
        BSTR given = licence ? SysAllocString(licence) : nullptr;
        IDispatch* control = nullptr;
        EXPECT_EQ(factory->CreateInstanceLic(nullptr, nullptr, IID_IDispatch, given,
                                             reinterpret_cast<void**>(&control)),
                  S_OK);
        if (control) control->Release();
        SysFreeString(given);
    }
    factory->Release();
}

TEST(ControlServer, ControlAnswersItsInterfacesAndNoOthers) {
    HostedControl control(false);
    const IID answered[] = {IID_IUnknown,           IID_IOleObject,
                            IID_IOleInPlaceObject,  IID_IOleInPlaceActiveObject,
                            IID_IOleWindow,         IID_IOleControl,
                            IID_IViewObject,        IID_IViewObject2,
                            IID_IPersistStreamInit, IID_IPersist,
                            IID_IDispatch,          IID_IConnectionPointContainer,
                            IID_IProvideClassInfo,  IID_IProvideClassInfo2};
    for (const IID& id : answered) {
        IUnknown* object = Query<IUnknown>(control.unknown(), id);
        EXPECT_NE(object, nullptr);
        if (object) object->Release();
    }
    const IID refused[] = {IID_IClassFactory, IID_IPersistStorage, IID_IDataObject,
                           IID_IOleContainer};
    for (const IID& id : refused) EXPECT_EQ(Query<IUnknown>(control.unknown(), id), nullptr);

    // Every interface leads back to one identity.
    IUnknown* identity = Query<IUnknown>(control.dispatch(), IID_IUnknown);
    EXPECT_EQ(identity, control.unknown());
    identity->Release();
}

TEST(ControlServer, PersistenceStartsNewAndReportsTheClass) {
    HostedControl control(false);
    IPersistStreamInit* persist =
        Query<IPersistStreamInit>(control.unknown(), IID_IPersistStreamInit);
    ASSERT_NE(persist, nullptr);
    CLSID id{};
    EXPECT_EQ(persist->GetClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, kControlClassId));
    EXPECT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    persist->Release();
}

TEST(ControlServer, ConnectionPointsOfferOnlyTheEventInterface) {
    HostedControl control(false);
    IConnectionPointContainer* container =
        Query<IConnectionPointContainer>(control.unknown(), IID_IConnectionPointContainer);
    ASSERT_NE(container, nullptr);
    IConnectionPoint* point = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point),
              CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(kEventsInterfaceId, &point), S_OK);
    IID id{};
    EXPECT_EQ(point->GetConnectionInterface(&id), S_OK);
    EXPECT_TRUE(IsEqualIID(id, kEventsInterfaceId));
    EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);

    IEnumConnectionPoints* points = nullptr;
    ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, listed, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0], point);
    if (listed[0]) listed[0]->Release();
    points->Release();

    // The harness's sink is the one connection.
    IEnumConnections* connections = nullptr;
    ASSERT_EQ(point->EnumConnections(&connections), S_OK);
    CONNECTDATA data[2] = {};
    EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    if (fetched) data[0].pUnk->Release();
    connections->Release();
    point->Release();
    container->Release();
}

TEST(ControlServer, VersionResourceIsAtLeastTheVersionHostsRequire) {
    std::wstring path = LoadControlDll().path;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    uint64_t version = static_cast<uint64_t>(fixed->dwFileVersionMS) << 32 | fixed->dwFileVersionLS;
    uint64_t required = static_cast<uint64_t>(MAKELONG(0, 7)) << 32 | MAKELONG(0, 32);  // 7.0.32.0
    EXPECT_GE(version, required) << std::hex << fixed->dwFileVersionMS << "."
                                 << fixed->dwFileVersionLS;
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 7);
}

}  // namespace
}  // namespace kelpo::test
