#include "host/speaker_mute.h"

#include <windows.h>
#include <mmsystem.h>

namespace kelpo {

namespace {

// The first mixer's speaker mute control, opened; false when there is none.
bool FindSpeakerMute(HMIXER& mixer, MIXERCONTROLA& control) {
    if (mixerGetNumDevs() == 0 ||
        mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
        return false;
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    control.cbStruct = sizeof control;
    if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                          MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR ||
        (controls.dwLineID = line.dwLineID,
         mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                               MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)) {
        mixerClose(mixer);
        return false;
    }
    return true;
}

bool MuteValue(HMIXER mixer, const MIXERCONTROLA& control, bool write, bool& muted) {
    MIXERCONTROLDETAILS_BOOLEAN value{};
    value.fValue = muted ? 1 : 0;
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    if (write)
        return mixerSetControlDetails(object, &details, MIXER_SETCONTROLDETAILSF_VALUE) ==
               MMSYSERR_NOERROR;
    if (mixerGetControlDetailsA(object, &details, MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return false;
    muted = value.fValue != 0;
    return true;
}

}  // namespace

SpeakerMuteState MuteSpeakers() {
    SpeakerMuteState state;
    HMIXER mixer = nullptr;
    MIXERCONTROLA control{};
    if (!FindSpeakerMute(mixer, control)) return state;
    if (MuteValue(mixer, control, false, state.wasMuted) && !state.wasMuted) {
        bool mute = true;
        state.changed = MuteValue(mixer, control, true, mute);
    }
    mixerClose(mixer);
    return state;
}

void RestoreSpeakers(const SpeakerMuteState& state) {
    if (!state.changed) return;
    HMIXER mixer = nullptr;
    MIXERCONTROLA control{};
    if (!FindSpeakerMute(mixer, control)) return;
    bool muted = state.wasMuted;
    MuteValue(mixer, control, true, muted);
    mixerClose(mixer);
}

}  // namespace kelpo
