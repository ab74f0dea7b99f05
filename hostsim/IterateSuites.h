// "PF Iterate8 Suite" 1 and "PF iterate16 Suite" 1: the host runs the effect's pixel function
// over a frame on its worker threads, rows split among them, as After Effects and Premiere Pro
// do. Like the real host it
//   - visits the area asked for (null: the whole output), within the output's extent hint and
//     within both worlds;
//   - checks for the user's abort before every row (the host call "abort", so
//     failures().FailCall("abort", n, PF_Interrupt_CANCEL) cancels at the nth row) and stops
//     with that error;
//   - reports progress from progress_base to progress_final as rows complete;
//   - stops at the first error a pixel function returns and returns it;
//   - runs on as many threads as the host is set to (Host::SetIterationThreads).
// Only `iterate` is offered; the other entries answer PF_Err_BAD_CALLBACK_PARAM.
#pragma once

#include "AE_EffectSuites.h"

namespace qxv::hostsim {

class Host;

extern const PF_Iterate8Suite1 kIterate8Suite1;
extern const PF_iterate16Suite1 kIterate16Suite1;
void RegisterIterateSuites(Host& host);

// What the last iteration of this host did.
struct IterationReport {
    A_long rows_done = 0;         // rows whose every pixel was shaded
    A_long progress_current = 0;  // the last progress reported ...
    A_long progress_final = 0;    // ... out of this
    unsigned threads = 0;
    PF_Err result = PF_Err_NONE;
};
IterationReport LastIteration(Host& host);

}  // namespace qxv::hostsim
