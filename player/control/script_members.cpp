// Handlers of the members that reach into the movie by target path:
// timelines of clips, their properties, and variables. Each fails (E_FAIL)
// when the core finds no such target or variable.
#include "player/control/member_handlers.h"

#include "player/control/player_control.h"

namespace kelpo::control {

namespace {

HRESULT Outcome(bool found) { return found ? S_OK : E_FAIL; }

}  // namespace

KELPO_MEMBER_HANDLER(CallTGotoFrame) {
    return Outcome(player::TGotoFrame(control.core(), Utf8Argument(arguments[0]),
                                      static_cast<int>(arguments[1].lVal)));
}

KELPO_MEMBER_HANDLER(CallTGotoLabel) {
    return Outcome(
        player::TGotoLabel(control.core(), Utf8Argument(arguments[0]), Utf8Argument(arguments[1])));
}

KELPO_MEMBER_HANDLER(CallTCurrentFrame) {
    int frame = 0;
    if (!player::TCurrentFrame(control.core(), Utf8Argument(arguments[0]), frame)) return E_FAIL;
    return ReturnLong(result, frame);
}

KELPO_MEMBER_HANDLER(CallTCurrentLabel) {
    std::string label;
    if (!player::TCurrentLabel(control.core(), Utf8Argument(arguments[0]), label)) return E_FAIL;
    return ReturnUtf8(result, label);
}

KELPO_MEMBER_HANDLER(CallTPlay) {
    return Outcome(player::TPlay(control.core(), Utf8Argument(arguments[0])));
}

KELPO_MEMBER_HANDLER(CallTStopPlay) {
    return Outcome(player::TStopPlay(control.core(), Utf8Argument(arguments[0])));
}

KELPO_MEMBER_HANDLER(CallSetVariable) {
    return Outcome(player::SetVariable(control.core(), Utf8Argument(arguments[0]),
                                       Utf8Argument(arguments[1])));
}

KELPO_MEMBER_HANDLER(CallGetVariable) {
    std::string value;
    if (!player::GetVariable(control.core(), Utf8Argument(arguments[0]), value)) return E_FAIL;
    return ReturnUtf8(result, value);
}

KELPO_MEMBER_HANDLER(CallTSetProperty) {
    return Outcome(player::TSetProperty(control.core(), Utf8Argument(arguments[0]),
                                        static_cast<int>(arguments[1].lVal),
                                        Utf8Argument(arguments[2])));
}

KELPO_MEMBER_HANDLER(CallTGetProperty) {
    std::string value;
    if (!player::TGetProperty(control.core(), Utf8Argument(arguments[0]),
                              static_cast<int>(arguments[1].lVal), value))
        return E_FAIL;
    return ReturnUtf8(result, value);
}

KELPO_MEMBER_HANDLER(CallTCallFrame) {
    return Outcome(player::TCallFrame(control.core(), Utf8Argument(arguments[0]),
                                      static_cast<int>(arguments[1].lVal)));
}

KELPO_MEMBER_HANDLER(CallTCallLabel) {
    return Outcome(
        player::TCallLabel(control.core(), Utf8Argument(arguments[0]), Utf8Argument(arguments[1])));
}

KELPO_MEMBER_HANDLER(CallTSetPropertyNum) {
    return Outcome(player::TSetPropertyNum(control.core(), Utf8Argument(arguments[0]),
                                           static_cast<int>(arguments[1].lVal),
                                           arguments[2].dblVal));
}

KELPO_MEMBER_HANDLER(CallTGetPropertyNum) {
    double value = 0;
    if (!player::TGetPropertyNum(control.core(), Utf8Argument(arguments[0]),
                                 static_cast<int>(arguments[1].lVal), value))
        return E_FAIL;
    return ReturnDouble(result, value);
}

}  // namespace kelpo::control
