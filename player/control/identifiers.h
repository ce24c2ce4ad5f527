// The identities the control answers to: its class, its event interface and
// the dispatch IDs of its events. Member dispatch IDs live in the member
// table (dispatch_members.cpp), the only place that lists them.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace kelpo::control {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
extern const CLSID kControlClassId;
// {D27CDB6D-AE6D-11CF-96B8-444553540000}: the event dispinterface.
extern const IID kEventsInterfaceId;

constexpr DISPID kEventReadyStateChange = -609;
constexpr DISPID kEventProgress = 1958;
constexpr DISPID kEventFsCommand = 150;

// The version FlashVersion reports: major version in the high word.
constexpr long kPlayerVersion = 0x00070000;

}  // namespace kelpo::control
