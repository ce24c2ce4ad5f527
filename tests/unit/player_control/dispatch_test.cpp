// The control's dispatch interface: every member under its published name
// and dispatch ID, property round trips by name and by ID, coercion of
// arguments of other types, refused values and calls, and the type
// information built from the same table.
#include <gtest/gtest.h>

#include "tests/unit/player_control/control_harness.h"

namespace kelpo::test {
namespace {

struct NamedId {
    const wchar_t* name;
    DISPID id;
};

constexpr NamedId kMembers[] = {
    {L"ReadyState", -525},
    {L"TotalFrames", 124},
    {L"Playing", 125},
    {L"Quality", 105},
    {L"ScaleMode", 120},
    {L"AlignMode", 121},
    {L"BackgroundColor", 123},
    {L"Loop", 106},
    {L"Movie", 102},
    {L"FrameNum", 107},
    {L"WMode", 133},
    {L"SAlign", 134},
    {L"Menu", 135},
    {L"Base", 136},
    {L"Scale", 137},
    {L"DeviceFont", 138},
    {L"EmbedMovie", 139},
    {L"BGColor", 140},
    {L"Quality2", 141},
    {L"SWRemote", 159},
    {L"FlashVars", 170},
    {L"AllowScriptAccess", 171},
    {L"MovieData", 190},
    {L"SetZoomRect", 109},
    {L"Zoom", 118},
    {L"Pan", 119},
    {L"Play", 112},
    {L"Stop", 113},
    {L"Back", 114},
    {L"Forward", 115},
    {L"Rewind", 116},
    {L"StopPlay", 126},
    {L"GotoFrame", 127},
    {L"CurrentFrame", 128},
    {L"IsPlaying", 129},
    {L"PercentLoaded", 130},
    {L"FrameLoaded", 131},
    {L"FlashVersion", 132},
    {L"LoadMovie", 142},
    {L"TGotoFrame", 143},
    {L"TGotoLabel", 144},
    {L"TCurrentFrame", 145},
    {L"TCurrentLabel", 146},
    {L"TPlay", 147},
    {L"TStopPlay", 148},
    {L"SetVariable", 108},
    {L"GetVariable", 152},
    {L"TSetProperty", 153},
    {L"TGetProperty", 154},
    {L"TCallFrame", 155},
    {L"TCallLabel", 156},
    {L"TSetPropertyNum", 157},
    {L"TGetPropertyNum", 158},
    {L"TGetPropertyAsNumber", 172},
};

std::wstring Changed(const wchar_t* name, bool upper) {
    std::wstring text(name);
    for (wchar_t& c : text) c = static_cast<wchar_t>(upper ? towupper(c) : towlower(c));
    return text;
}

DISPID IdOf(IDispatch* dispatch, const std::wstring& name) {
    DISPID id = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name.c_str())};
    HRESULT result = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return SUCCEEDED(result) ? id : DISPID_UNKNOWN;
}

TEST(ControlDispatch, EveryMemberHasItsNameAndIdInAnyCase) {
    HostedControl control(false);
    for (const NamedId& member : kMembers) {
        SCOPED_TRACE(Narrow(member.name));
        EXPECT_EQ(IdOf(control.dispatch(), member.name), member.id);
        EXPECT_EQ(IdOf(control.dispatch(), Changed(member.name, false)), member.id);
        EXPECT_EQ(IdOf(control.dispatch(), Changed(member.name, true)), member.id);
    }
}

TEST(ControlDispatch, UnknownNamesAndIdsAreRefused) {
    HostedControl control(false);
    DISPID id = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    EXPECT_EQ(control.dispatch()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    Variant value;
    EXPECT_EQ(control.GetId(4242, value), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(control.CallId(-1, {}), DISP_E_MEMBERNOTFOUND);
}

TEST(ControlDispatch, DefaultsBeforeAnyMovie) {
    HostedControl control(false);
    struct Case {
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Playing", L"True"},  {L"Loop", L"True"},   {L"Quality", L"1"},
        {L"Quality2", L"High"}, {L"ScaleMode", L"0"}, {L"Scale", L"ShowAll"},
        {L"AlignMode", L"0"},   {L"SAlign", L""},     {L"TotalFrames", L"0"},
        {L"ReadyState", L"4"},  {L"Movie", L""},      {L"Menu", L"True"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        Variant value;
        ASSERT_EQ(control.Get(c.name, value), S_OK);
        EXPECT_EQ(value.Text(), c.expected);
    }
    Variant version;
    ASSERT_EQ(control.Call(L"FlashVersion", {}, &version), S_OK);
    EXPECT_EQ(version.value().vt, VT_I4);
    EXPECT_GE(version.value().lVal, 0x00070000);
    EXPECT_EQ(version.value().lVal >> 16, 7);
}

// A property put with one value and read back, by name and by dispatch ID;
// `expected` is the text read back (other views of the same value included).
struct RoundTrip {
    const wchar_t* property;
    Variant value;
    const wchar_t* readBack;
    const wchar_t* expected;
};

std::vector<RoundTrip> RoundTrips() {
    return {
        {L"Playing", Variant::Bool(false), L"Playing", L"False"},
        {L"Playing", Variant::Bool(true), L"Playing", L"True"},
        {L"Loop", Variant::Bool(false), L"Loop", L"False"},
        {L"Quality", Variant(0L), L"Quality2", L"Low"},
        {L"Quality", Variant(3L), L"Quality", L"3"},
        {L"Quality2", Variant(L"AutoLow"), L"Quality", L"2"},
        {L"Quality2", Variant(L"Best"), L"Quality2", L"Best"},
        {L"ScaleMode", Variant(2L), L"Scale", L"ExactFit"},
        {L"Scale", Variant(L"noborder"), L"ScaleMode", L"1"},
        {L"AlignMode", Variant(5L), L"SAlign", L"TL"},
        {L"SAlign", Variant(L"br"), L"AlignMode", L"10"},
        {L"BackgroundColor", Variant(0x123456L), L"BGColor", L"#123456"},
        {L"BGColor", Variant(L"#00FF80"), L"BackgroundColor", L"65408"},
        {L"FlashVars", Variant(L"a=1&b=two"), L"FlashVars", L"a=1&b=two"},
        {L"WMode", Variant(L"Transparent"), L"WMode", L"Transparent"},
        {L"Base", Variant(L"C:\\movies"), L"Base", L"C:\\movies"},
        {L"Menu", Variant::Bool(false), L"Menu", L"False"},
        {L"DeviceFont", Variant::Bool(true), L"DeviceFont", L"True"},
        {L"EmbedMovie", Variant::Bool(true), L"EmbedMovie", L"True"},
        {L"SWRemote", Variant(L"remote='on'"), L"SWRemote", L"remote='on'"},
        {L"AllowScriptAccess", Variant(L"never"), L"AllowScriptAccess", L"never"},
        {L"MovieData", Variant(L"data"), L"MovieData", L"data"},
        // Values of other types are coerced to the property's type.
        {L"ScaleMode", Variant(L"3"), L"ScaleMode", L"3"},
        {L"Loop", Variant(0L), L"Loop", L"False"},
        {L"Playing", Variant(L"false"), L"Playing", L"False"},
        {L"BackgroundColor", Variant(255.0), L"BackgroundColor", L"255"},
        {L"Quality2", Variant(L"medium"), L"Quality", L"1"},
    };
}

TEST(ControlDispatch, PropertiesRoundTripByName) {
    HostedControl control(false);
    for (const RoundTrip& trip : RoundTrips()) {
        SCOPED_TRACE(Narrow(trip.property) + " = " + Narrow(trip.value.Text()));
        ASSERT_EQ(control.Put(trip.property, trip.value), S_OK);
        Variant value;
        ASSERT_EQ(control.Get(trip.readBack, value), S_OK);
        EXPECT_EQ(value.Text(), trip.expected);
    }
}

TEST(ControlDispatch, PropertiesRoundTripById) {
    HostedControl control(false);
    for (const RoundTrip& trip : RoundTrips()) {
        SCOPED_TRACE(Narrow(trip.property) + " = " + Narrow(trip.value.Text()));
        ASSERT_EQ(control.PutId(IdOf(control.dispatch(), trip.property), trip.value), S_OK);
        Variant value;
        ASSERT_EQ(control.GetId(IdOf(control.dispatch(), trip.readBack), value), S_OK);
        EXPECT_EQ(value.Text(), trip.expected);
    }
}

TEST(ControlDispatch, CallersOfOtherStylesAreServed) {
    HostedControl control(false);
    IDispatch* dispatch = control.dispatch();
    // A value passed by reference.
    long mode = 2;
    VARIANT byReference;
    VariantInit(&byReference);
    byReference.vt = VT_BYREF | VT_I4;
    byReference.plVal = &mode;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS putParams{&byReference, &put, 1, 1};
    ASSERT_EQ(dispatch->Invoke(120, IID_NULL, 0, DISPATCH_PROPERTYPUT, &putParams, nullptr, nullptr,
                               nullptr),
              S_OK);
    // A property read the way some script hosts do, as method and get at once.
    Variant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(dispatch->Invoke(120, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none,
                               value.get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(value.Text(), L"2");
    // A put without the named DISPID_PROPERTYPUT argument.
    Variant loop = Variant::Bool(false);
    DISPPARAMS unnamed{loop.get(), nullptr, 1, 0};
    ASSERT_EQ(dispatch->Invoke(106, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr,
                               nullptr),
              S_OK);
    ASSERT_EQ(control.GetId(106, value), S_OK);
    EXPECT_EQ(value.Text(), L"False");
    // Named parameters resolve to their positions.
    LPOLESTR names[3] = {const_cast<LPOLESTR>(L"SetVariable"), const_cast<LPOLESTR>(L"value"),
                         const_cast<LPOLESTR>(L"NAME")};
    DISPID ids[3] = {};
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 108);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 0);
}

TEST(ControlDispatch, RefusedValuesKeepThePreviousOne) {
    HostedControl control(false);
    struct Case {
        const wchar_t* property;
        Variant value;
    };
    const Case cases[] = {
        {L"ScaleMode", Variant(7L)},       {L"Quality", Variant(-2L)},
        {L"Quality2", Variant(L"Shiny")},  {L"Scale", Variant(L"Stretch")},
        {L"BGColor", Variant(L"#GG0000")}, {L"BackgroundColor", Variant(0x1000000L)},
        {L"AlignMode", Variant(16L)},      {L"ScaleMode", Variant(L"not a number")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.property) + " = " + Narrow(c.value.Text()));
        Variant before, after;
        ASSERT_EQ(control.Get(c.property, before), S_OK);
        EXPECT_TRUE(FAILED(control.Put(c.property, c.value)));
        ASSERT_EQ(control.Get(c.property, after), S_OK);
        EXPECT_EQ(after.Text(), before.Text());
    }
}

TEST(ControlDispatch, MalformedCallsAreErrorsNotCrashes) {
    HostedControl control(false);
    IDispatch* dispatch = control.dispatch();
    // Read-only properties take no value.
    EXPECT_EQ(control.Put(L"TotalFrames", Variant(3L)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(control.Put(L"ReadyState", Variant(3L)), DISP_E_MEMBERNOTFOUND);
    // Wrong argument counts.
    EXPECT_EQ(control.Call(L"GotoFrame", {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(control.Call(L"Play", {Variant(1L)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(control.Call(L"SetVariable", {Variant(L"only a name")}), DISP_E_BADPARAMCOUNT);
    // Arguments that cannot become the declared type.
    EXPECT_EQ(control.Call(L"GotoFrame", {Variant(L"frame three")}), DISP_E_TYPEMISMATCH);
    // Null parameters and an interface ID other than IID_NULL.
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(
        dispatch->Invoke(128, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
        DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(
        dispatch->Invoke(128, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
        S_OK);
    DISPPARAMS broken{nullptr, nullptr, 1, 0};
    EXPECT_EQ(
        dispatch->Invoke(127, IID_NULL, 0, DISPATCH_METHOD, &broken, nullptr, nullptr, nullptr),
        E_INVALIDARG);
}

TEST(ControlDispatch, CallsNeedingAMovieFailWithoutOne) {
    HostedControl control(false);
    Variant value;
    EXPECT_TRUE(FAILED(control.Call(L"GetVariable", {Variant(L"anything")}, &value)));
    EXPECT_TRUE(FAILED(control.Call(L"SetVariable", {Variant(L"name"), Variant(L"value")})));
    EXPECT_TRUE(FAILED(control.Call(L"TCurrentFrame", {Variant(L"/")}, &value)));
    EXPECT_TRUE(FAILED(control.Call(L"GotoFrame", {Variant(1L)})));
    ASSERT_EQ(control.Call(L"PercentLoaded", {}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"0");
}

TEST(ControlDispatch, TypeInformationDescribesTheSameMembers) {
    HostedControl control(false);
    UINT count = 0;
    ASSERT_EQ(control.dispatch()->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(control.dispatch()->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    ASSERT_NE(info, nullptr);
    for (const NamedId& member : kMembers) {
        SCOPED_TRACE(Narrow(member.name));
        MEMBERID id = 0;
        LPOLESTR names[1] = {const_cast<LPOLESTR>(member.name)};
        EXPECT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK);
        EXPECT_EQ(id, member.id);
    }
    info->Release();

    IProvideClassInfo2* provider = nullptr;
    ASSERT_EQ(control.unknown()->QueryInterface(IID_IProvideClassInfo2,
                                                reinterpret_cast<void**>(&provider)),
              S_OK);
    ITypeInfo* classInfo = nullptr;
    EXPECT_EQ(provider->GetClassInfo(&classInfo), S_OK);
    if (classInfo) {
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(classInfo->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
        classInfo->ReleaseTypeAttr(attributes);
        classInfo->Release();
    }
    GUID source{};
    EXPECT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualGUID(source, kEventsInterfaceId));
    provider->Release();
}

}  // namespace
}  // namespace kelpo::test
