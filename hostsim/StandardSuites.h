// The suites every session offers, each with its table and its entries here (the overlay's
// are the instrumented host's: instruments/Drawbot.h). RegisterStandardSuites is the single
// list of them: support for more suites adds one line there, calling its own Register...()
// function.
#pragma once

#include <string>

#include "AE_EffectCB.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectSuites.h"

namespace qxv::hostsim {

class Session;

void RegisterStandardSuites(Session& session);

// "PF ANSI Suite" 1 and the `ansi` callbacks of PF_UtilCallbacks: the C library's maths,
// sprintf bounded to the 256-byte return_msg, and strcpy, each reported to the observer.
extern const PF_ANSICallbacksSuite1 kAnsiSuite1;
PF_ANSICallbacks MakeAnsiCallbacks();
void RegisterAnsiSuite(Session& session);

// "PF Param Utils Suite" 3: PF_UpdateParamUI is recorded and applied to the parameter
// store's UI state; the keyframe entries answer PF_Err_BAD_CALLBACK_PARAM.
extern const PF_ParamUtilsSuite3 kParamUtilsSuite3;
void RegisterParamUtilsSuite(Session& session);

// "PF Pixel Format Suite" 1 (Premiere Pro): ClearSupportedPixelFormats and
// AddSupportedPixelFormat are recorded in order; GetPixelFormat answers the format the host
// set for the world (Session::SetWorldPixelFormat); the remaining entries answer an error.
extern const PF_PixelFormatSuite1 kPixelFormatSuite1;
void RegisterPixelFormatSuite(Session& session);

// A pixel format code as hex and as its four characters: 0x61726762 'bgra'.
std::string PixelFormatName(PrPixelFormat format);

// Everything a host offers for rendering frames: the iterate suites, the world-transform
// suite and the utility `copy`. One call registers them all with a host.
void RegisterFrameSuites(Session& session);

// "PF Iterate8 Suite" 1 and "PF iterate16 Suite" 1: the host runs the effect's pixel function
// over a frame on its worker threads, rows split among them, as After Effects and Premiere Pro
// do. Like the real host it
//   - visits the area asked for (null: the whole output), within the output's extent hint and
//     within both worlds;
//   - checks for the user's abort before every row (the host call "abort", so an instrumented
//     host's failures().FailCall("abort", n, PF_Interrupt_CANCEL) cancels at the nth row) and stops
//     with that error;
//   - reports progress from progress_base to progress_final as rows complete;
//   - stops at the first error a pixel function returns and returns it;
//   - runs on as many threads as the host is set to (Session::SetIterationThreads);
//   - tells the session's observer what it did (an IterationReport).
// Only `iterate` is offered; the other entries answer PF_Err_BAD_CALLBACK_PARAM.
extern const PF_Iterate8Suite1 kIterate8Suite1;
extern const PF_iterate16Suite1 kIterate16Suite1;
void RegisterIterateSuites(Session& session);

// "PF World Transform Suite" 1 `copy` and `copy_hq`, and the utility callback `copy` of
// PF_UtilCallbacks: the host copies a frame row by row with memcpy, which is as fast as a
// frame can be produced and is what an effect falls back on when it has nothing to do.
// Null rectangles mean the whole world; rectangles of different sizes (a scaling copy) are not
// offered and answer PF_Err_BAD_CALLBACK_PARAM. The other entries of the suite are not
// offered either.
extern const PF_WorldTransformSuite1 kWorldTransformSuite1;
void RegisterWorldTransformSuite(Session& session);

// The `copy` of PF_UtilCallbacks (Premiere Pro's effects copy through it).
PF_Err UtilsCopy(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r);

// Bytes per pixel of a world the host handed out: by its Premiere pixel format when the host
// set one, else 8 for a deep world and 4 otherwise.
A_long WorldPixelBytes(const Session& session, const PF_EffectWorld& world);

}  // namespace qxv::hostsim
