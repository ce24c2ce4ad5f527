// Muting the speakers while the projector runs: the mute control of the
// first mixer's speaker line is set at start and put back at exit. Without
// a mixer, a speaker line or a mute control nothing happens.
#pragma once

namespace kelpo {

struct SpeakerMuteState {
    bool changed = false;  // the host muted the speakers and must restore them
    bool wasMuted = false;
};

// Mutes the speakers when they are not muted already.
SpeakerMuteState MuteSpeakers();
// Puts back what MuteSpeakers changed.
void RestoreSpeakers(const SpeakerMuteState& state);

}  // namespace kelpo
