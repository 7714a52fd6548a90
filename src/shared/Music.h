#pragma once
// The looping background music: the body of the window's timer
// handler BgmTim_Timer. The music procedures BgmOpen, BgmClose and BgmPlay are
// members of 共用関数 (SharedModule.h).

#include "shared/SharedModule.h"

// One tick of BgmTim: asks the device "MIDI" for its mode and, when the reply
// begins with "stopped" (any letter case) and the music is on (BgmOn == -1),
// sends "seek MIDI to start" and "play MIDI from 0", storing each code in
// BgmResult. The status query's own code is discarded. Allocates nothing.
void PollBgm(共用関数& module);
