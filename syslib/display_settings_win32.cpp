// Display modes for SysInfo (Windows only): the current mode and the list
// of modes as script Objects, and changing the current mode from one. A
// mode crosses as four fields; the rest of the DEVMODE stays the system's.
#include <windows.h>

#include <cstring>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/object.h"
#include "syslib/sys_info_win32.h"

namespace kelpo {
namespace {

struct ModeField {
    const char* name;
    DWORD field;  // the DM_ bit that says the member is set
    DWORD DEVMODEA::*member;
};

const ModeField kModeFields[] = {
    {"pelsWidth", DM_PELSWIDTH, &DEVMODEA::dmPelsWidth},
    {"pelsHeight", DM_PELSHEIGHT, &DEVMODEA::dmPelsHeight},
    {"bitsPerPel", DM_BITSPERPEL, &DEVMODEA::dmBitsPerPel},
    {"displayFrequency", DM_DISPLAYFREQUENCY, &DEVMODEA::dmDisplayFrequency},
};

// No display lists more modes than this; the bound keeps a driver that
// never says "no more" from running the loop away.
constexpr DWORD kMaxModes = 16384;

bool ModeAt(DWORD index, DEVMODEA* mode) {
    std::memset(mode, 0, sizeof *mode);
    mode->dmSize = sizeof *mode;
    return EnumDisplaySettingsA(nullptr, index, mode) != FALSE;
}

Value ModeObject(ScriptContext* context, const DEVMODEA& mode) {
    ScriptObject* object = NewObject(context);
    Value result = MakeObject(object);
    for (const ModeField& field : kModeFields)
        PutProperty(context, object, InternAtom(context, field.name),
                    MakeInteger(mode.*field.member));
    return result;
}

}  // namespace

Value CurrentDisplaySetting(ScriptContext* context) {
    DEVMODEA mode;
    if (!ModeAt(ENUM_CURRENT_SETTINGS, &mode)) return MakeNull();
    return ModeObject(context, mode);
}

Value DisplaySettingsList(ScriptContext* context) {
    Value list = NewArray(context, 0);
    DEVMODEA mode;
    for (DWORD i = 0; i < kMaxModes && ModeAt(i, &mode); ++i) {
        ArraySet(context, list, ModeObject(context, mode), i);
        list.array->length = i + 1;
    }
    return list;
}

void ApplyDisplaySetting(ScriptContext* context, const Value& setting) {
    if (setting.tag != ValueTag::Object) return;
    ScriptObject* object = setting.object;
    DEVMODEA mode;
    if (!ModeAt(ENUM_CURRENT_SETTINGS, &mode)) return;
    // Only what the Object names changes; the rest is the current mode.
    mode.dmFields = 0;
    for (const ModeField& field : kModeFields) {
        Value value;
        if (!GetProperty(context, object, InternAtom(context, field.name), &value) ||
            value.tag == ValueTag::Undefined) {
            continue;
        }
        mode.*field.member = static_cast<DWORD>(ToInt32(context, value));
        mode.dmFields |= field.field;
    }
    const Atom testAtom = InternAtom(context, "test");
    Value test;
    const bool testOnly = GetProperty(context, object, testAtom, &test) && ToBoolean(context, test);
    const LONG code = ChangeDisplaySettingsA(&mode, testOnly ? CDS_TEST : CDS_UPDATEREGISTRY);
    PutProperty(context, object, testAtom, MakeInteger(code));
}

}  // namespace kelpo
