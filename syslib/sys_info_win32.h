// The parts of the SysInfo class that talk to one corner of the system each
// (Windows only): the processor's clock, the display modes and the screen
// saver's file.
#pragma once

#include <string>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

// cpu_speed_win32.cpp: the processor's clock in MHz, counted over half a
// second; NaN when the processor has no time-stamp counter.
double MeasureCpuSpeedMhz();

// display_settings_win32.cpp
// The current display mode as an Object (pelsWidth, pelsHeight, bitsPerPel,
// displayFrequency); Null when the system gives none.
Value CurrentDisplaySetting(ScriptContext* context);
// Every display mode the system lists, as an Array of such Objects.
Value DisplaySettingsList(ScriptContext* context);
// Applies the fields an Object has to the current mode, only testing the
// mode when its `test` converts to true, and stores the system's result
// code into its `test`. Other values are ignored.
void ApplyDisplaySetting(ScriptContext* context, const Value& setting);

// screen_saver_win32.cpp: the configured screen-saver file. Reading answers
// false when none is configured; writing an empty name removes it.
bool ReadScreenSaverFile(std::string* file);
bool WriteScreenSaverFile(const std::string& file);

}  // namespace kelpo
