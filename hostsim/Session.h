// One host session: After Effects or Premiere Pro talking to one loaded effect. It owns the
// records the host hands to EntryPointFunc (PF_InData with its callbacks, PF_OutData, the
// basic suite), the suites it offers, the parameter store and the threads of its iterations,
// and sends commands, one frame rendered as a host asks for it among them. This is all the
// frei0r module and qxv render need; whatever watches a session (the trace of host calls,
// suite accounting, failure injection: instruments/Host.h) does it through the one observer
// pointer, which they leave null.
//
//     Session session(HostApp::kPremierePro, library->entry());
//     session.GlobalSetup();
//     session.ParamsSetup();
//     RenderFrame(session, input, output);
//
// Threading: one session sends commands from one thread at a time; different sessions may
// send at once from different threads. Callbacks that carry no effect_ref (the basic suite,
// the ANSI functions, GetPixelFormat) find their session through Session::Current(), which is
// set on the sending thread for the duration of Send(); an iteration may run pixel functions
// on other threads, and those call nothing that needs it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"
#include "SPBasic.h"
#include "hostsim/Params.h"
#include "hostsim/RowPool.h"
#include "hostsim/SessionObserver.h"
#include "hostsim/ShippingLayouts.h"
#include "hostsim/Suites.h"
#include "hostsim/World.h"

namespace qxv::hostsim {

enum class HostApp { kAfterEffects, kPremierePro };

constexpr A_long kAfterEffectsApplId = 0x46585443;  // 'FXTC'
constexpr A_long kPremiereProApplId = 0x50724D72;   // 'PrMr'
const char* HostAppName(HostApp app);                // "After Effects", "Premiere Pro"

// The frames each host hands over: After Effects ARGB in 8 or 16 bits, Premiere Pro BGRA in
// 8 bits or float.
enum class FrameDepth { k8, k16, kFloat };
HostApp HostOfFormat(WorldFormat format);
// Nothing for a depth the host does not render (16 bits in Premiere Pro, float in After Effects).
std::optional<WorldFormat> HostFormat(HostApp app, FrameDepth depth);

class Session {
public:
    // `observer`, when given, must outlive the session.
    Session(HostApp app, PF_EntryPointFunc entry, SessionObserver* observer = nullptr);
    virtual ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HostApp app() const { return app_; }
    bool is_premiere() const { return app_ == HostApp::kPremierePro; }

    // ---- The records handed to the plug-in ----
    // Each in an allocation of exactly the shipping size as a real host's are, so that
    // reading past one is caught under AddressSanitizer. Callers may adjust them between
    // commands (extent hints, downsampling, a damaged field for a test...).
    PF_InData& in_data() { return *in_data_; }
    PF_OutData& out_data() { return *out_data_; }
    PF_UtilCallbacks& utils() { return utils_; }  // `copy` is provided by the frames support
    void ResetOutData();                          // all zero, as a fresh record

    // ---- What the host offers ----
    void RegisterSuite(const std::string& name, std::int32_t version, const void* table);
    void UnregisterSuite(const std::string& name, std::int32_t version);
    const SuiteRegistry& suites() const { return suites_; }
    // Threads of the host's iterations, the calling thread included; 0 (the default) means
    // one per core, as the host's preference does.
    void SetIterationThreads(unsigned threads) { iteration_threads_ = threads; }
    unsigned iteration_threads() const { return iteration_threads_; }
    RowPool& IterationPool();  // made for that many threads on first use and when it changes

    // ---- Sending commands ----
    // Calls EntryPointFunc with the session's in_data and out_data as they are (out_data is
    // not reset: the caller decides). An exception escaping the plug-in is caught here and
    // answered with PF_Err_INTERNAL_STRUCT_DAMAGED.
    PF_Err Send(PF_Cmd cmd, PF_ParamDef* params[] = nullptr, PF_LayerDef* output = nullptr, void* extra = nullptr);
    // Sends with a parameter array built from the store (input layer `input`, may be null) and
    // takes back the values the plug-in changed.
    PF_Err SendWithParams(PF_Cmd cmd, const PF_LayerDef* input, PF_LayerDef* output = nullptr, void* extra = nullptr);
    // The indices whose values the plug-in marked PF_ChangeFlag_CHANGED_VALUE in the last
    // SendWithParams, in index order.
    const std::vector<int>& changed_params() const { return changed_params_; }
    PF_Cmd current_command() const { return current_command_; }  // -1 outside Send

    // The usual commands, each on a fresh out_data. ParamsSetup clears the store first and
    // sets in_data.num_params from the plug-in's answer.
    PF_Err About();
    PF_Err GlobalSetup();
    PF_Err ParamsSetup();
    PF_Err UpdateParamsUI();

    // ---- The parameters: what the plug-in registered and the values the host holds ----
    ParamStore& params() { return params_; }
    const ParamStore& params() const { return params_; }

    // The Premiere pixel format of a world handed to the plug-in, answered by GetPixelFormat.
    void SetWorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat format);
    bool WorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat& format) const;

    // ---- For host callbacks ----
    // The session of the command in progress on this thread; null outside Send().
    static Session* Current();
    // The session whose effect_ref this is, or null (a violation of the current session)
    // when the plug-in passed something else.
    static Session* FromEffectRef(PF_ProgPtr effect_ref);
    SessionObserver* observer() const { return observer_; }
    // The observer's answer to a call before it does its work; PF_Err_NONE when unobserved.
    PF_Err Intercept(const char* call) { return observer_ ? observer_->Intercept(call) : PF_Err_NONE; }
    // A call as answered, tagged with the current command; nothing when unobserved.
    void Report(const std::string& call, std::string detail, PF_Err result = PF_Err_NONE);
    void Violation(std::string what);

private:
    HostApp app_;
    PF_EntryPointFunc entry_;
    SessionObserver* observer_;
    std::unique_ptr<PF_InData> in_data_ = MakeShippingRecord<PF_InData, kShippingInDataSize>();
    std::unique_ptr<PF_OutData> out_data_ = MakeShippingRecord<PF_OutData, kShippingOutDataSize>();
    PF_UtilCallbacks utils_{};
    SPBasicSuite basic_suite_{};
    PF_Cmd current_command_ = -1;
    unsigned iteration_threads_ = 0;
    std::unique_ptr<RowPool> pool_;
    SuiteRegistry suites_;
    ParamStore params_;
    std::vector<int> changed_params_;
    std::map<const PF_EffectWorld*, PrPixelFormat> world_formats_;
};

// in_data->inter: add_param into the session's parameter store, register_ui, abort and progress.
PF_InteractCallbacks MakeInteractCallbacks();

// One frame rendered the way a host asks for it: in_data describes the output (size, extent
// hint) and the user's viewing settings (downsampling, pixel aspect, quality), out_data starts
// fresh, and PF_Cmd_RENDER goes out with the parameter values of the session's store and the
// input world as layer 0. In Premiere Pro the host also records the worlds' pixel format,
// which GetPixelFormat answers.
struct RenderSettings {
    PF_RationalScale downsample_x{1, 1};
    PF_RationalScale downsample_y{1, 1};
    PF_RationalScale pixel_aspect_ratio{1, 1};
    PF_Quality quality = PF_Quality_HI;
    // Premiere Pro: the format GetPixelFormat answers for the output instead of the world's own.
    std::optional<PrPixelFormat> pixel_format;
};

PF_Err RenderFrame(Session& session, World& input, World& output, const RenderSettings& settings = {});
// The same for worlds the host does not own (see BorrowedWorld), of the formats given.
PF_Err RenderFrame(Session& session, PF_EffectWorld& input, WorldFormat input_format, PF_EffectWorld& output,
                   WorldFormat output_format, const RenderSettings& settings = {});

}  // namespace qxv::hostsim
