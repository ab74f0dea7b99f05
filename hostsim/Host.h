// One simulated host session: After Effects or Premiere Pro talking to one loaded effect.
// It owns the records the host hands to EntryPointFunc (PF_InData with its callbacks,
// PF_OutData, the basic suite), the suite registry, the parameter store, the trace of host
// calls, the acquire/release accounting and the failure rules. After the host: its interact
// callbacks, one frame rendered as a host asks for it, and the worker threads of its
// iterations.
//
// Typical use:
//     Host host(HostApp::kAfterEffects, library->entry());
//     host.failures().FailSuite("PF ANSI Suite");
//     PF_Err err = host.About();                 // or host.Send(cmd, params, output, extra)
//     host.CommandViolations();                  // e.g. an unreleased suite
//     host.trace().Calls("AcquireSuite");
//
// Threading: one host sends commands from one thread at a time; different hosts may send at
// once from different threads. Callbacks that carry no effect_ref (the basic suite, the ANSI
// functions, GetPixelFormat) find their host through Host::Current(), which is set on the
// sending thread for the duration of Send(); a host's iteration may run pixel functions on
// other threads, and those call nothing that needs it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectUI.h"
#include "SPBasic.h"
#include "hostsim/HostCalls.h"
#include "hostsim/Params.h"
#include "hostsim/ShippingLayouts.h"
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

struct ParamUIUpdate {
    PF_ParamIndex index = 0;
    PF_ParamDef def{};  // the copy the plug-in handed over (its pointers are not followed later)
    std::string name;   // def.name as text
};

struct PixelFormatCall {
    std::string call;  // "ClearSupportedPixelFormats" or "AddSupportedPixelFormat"
    PrPixelFormat format = 0;
};

class Host {
public:
    Host(HostApp app, PF_EntryPointFunc entry);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    HostApp app() const { return app_; }
    bool is_premiere() const { return app_ == HostApp::kPremierePro; }

    // The records handed to the plug-in, each in an allocation of exactly the shipping size
    // as a real host's are, so that reading past one is caught under AddressSanitizer.
    // Callers may adjust them between commands (extent hints, downsampling, a damaged field
    // for a test...).
    PF_InData& in_data() { return *in_data_; }
    PF_OutData& out_data() { return *out_data_; }
    PF_UtilCallbacks& utils() { return utils_; }  // `copy` is provided by the frames support
    void ResetOutData();                          // all zero, as a fresh record

    // pica_basicP present (default) or null.
    void SetBasicSuiteAvailable(bool available);

    // Threads the host's iterations use, the calling thread included; 0 (the default) means
    // one per core, as the host's preference does.
    void SetIterationThreads(unsigned threads) { iteration_threads_ = threads; }
    unsigned iteration_threads() const { return iteration_threads_; }

    // ---- Suites ----
    void RegisterSuite(const std::string& name, std::int32_t version, const void* table);
    void UnregisterSuite(const std::string& name, std::int32_t version);
    const SuiteRegistry& suites() const { return suites_; }
    SuiteAccounting& accounting() { return accounting_; }
    FailureInjection& failures() { return failures_; }
    HostTrace& trace() { return trace_; }

    // ---- Sending commands ----
    // Calls EntryPointFunc with the host's in_data and out_data as they are (out_data is not
    // reset: the caller decides). After it returns, checks that every suite acquired during
    // the command was released exactly once and that nothing was thrown across the entry;
    // what went wrong is in CommandViolations(). An exception escaping the plug-in is caught
    // here and answered with PF_Err_INTERNAL_STRUCT_DAMAGED.
    PF_Err Send(PF_Cmd cmd, PF_ParamDef* params[] = nullptr, PF_LayerDef* output = nullptr, void* extra = nullptr);
    // Sends with a parameter array built from the store (input layer `input`, may be null) and
    // takes back the values the plug-in changed.
    PF_Err SendWithParams(PF_Cmd cmd, const PF_LayerDef* input, PF_LayerDef* output = nullptr, void* extra = nullptr);
    // The indices whose values the plug-in marked PF_ChangeFlag_CHANGED_VALUE in the last
    // SendWithParams, in index order.
    const std::vector<int>& changed_params() const { return changed_params_; }

    // The usual commands, each on a fresh out_data. ParamsSetup clears the store first and
    // sets in_data.num_params from the plug-in's answer.
    PF_Err About();
    PF_Err GlobalSetup();
    PF_Err ParamsSetup();
    PF_Err UpdateParamsUI();

    PF_Cmd current_command() const { return current_command_; }  // -1 outside Send
    // Host-side findings of the last command: suite imbalances, exceptions across the entry,
    // calls with a foreign effect_ref, overlong strings copied into a fixed field...
    const std::vector<std::string>& CommandViolations() const { return command_violations_; }
    const std::vector<std::string>& AllViolations() const { return all_violations_; }
    void AddViolation(std::string what);

    // ---- What the plug-in told the host ----
    ParamStore& params() { return params_; }
    const ParamStore& params() const { return params_; }
    const std::vector<PF_CustomUIInfo>& registered_ui() const { return registered_ui_; }
    const std::vector<ParamUIUpdate>& param_ui_updates() const { return param_ui_updates_; }
    const std::vector<PixelFormatCall>& pixel_format_calls() const { return pixel_format_calls_; }
    std::vector<PrPixelFormat> SupportedPixelFormats() const;  // after the last Clear, in order

    // The Premiere pixel format of a world handed to the plug-in, answered by GetPixelFormat.
    void SetWorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat format);
    bool WorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat& format) const;

    // ---- For host callbacks ----
    // The host of the command in progress on this thread; null outside Send() (see the note
    // at the top).
    static Host* Current();
    // The host whose effect_ref this is, or null (and a violation is recorded on the current
    // host) when the plug-in passed something else.
    static Host* FromEffectRef(PF_ProgPtr effect_ref);
    // The standard prologue of a callback: counts the occurrence for failure injection and
    // returns the injected error or PF_Err_NONE.
    PF_Err CheckFailure(const std::string& call) { return failures_.Check(call); }
    // Appends to the trace, tagged with the current command.
    void Trace(std::string call, std::string detail, PF_Err result = PF_Err_NONE);

    // Recorders used by the callbacks of this library.
    void RecordRegisterUI(const PF_CustomUIInfo& info) { registered_ui_.push_back(info); }
    void RecordParamUIUpdate(ParamUIUpdate update) { param_ui_updates_.push_back(std::move(update)); }
    void RecordPixelFormatCall(PixelFormatCall call) { pixel_format_calls_.push_back(std::move(call)); }

    // Per-session state that other parts of the simulator attach to a host (a Drawbot
    // recorder, window geometry, ...), made on first use and destroyed with the host.
    template <class T>
    T& Attachment() {
        auto& slot = attachments_[std::type_index(typeid(T))];
        if (!slot) slot = std::shared_ptr<void>(new T(), [](void* p) { delete static_cast<T*>(p); });
        return *static_cast<T*>(slot.get());
    }

private:
    void ClearCommandRecords();

    HostApp app_;
    PF_EntryPointFunc entry_;
    std::unique_ptr<PF_InData> in_data_ = MakeShippingRecord<PF_InData, kShippingInDataSize>();
    std::unique_ptr<PF_OutData> out_data_ = MakeShippingRecord<PF_OutData, kShippingOutDataSize>();
    PF_UtilCallbacks utils_{};
    SPBasicSuite basic_suite_{};
    PF_Cmd current_command_ = -1;
    unsigned iteration_threads_ = 0;

    SuiteRegistry suites_;
    SuiteAccounting accounting_;
    FailureInjection failures_;
    HostTrace trace_;
    ParamStore params_;
    std::vector<int> changed_params_;

    std::vector<std::string> command_violations_;
    std::vector<std::string> all_violations_;
    std::vector<PF_CustomUIInfo> registered_ui_;
    std::vector<ParamUIUpdate> param_ui_updates_;
    std::vector<PixelFormatCall> pixel_format_calls_;
    std::map<const PF_EffectWorld*, PrPixelFormat> world_formats_;
    std::map<std::type_index, std::shared_ptr<void>> attachments_;
};

// in_data->inter: add_param into the host's parameter store, register_ui, abort and progress.
PF_InteractCallbacks MakeInteractCallbacks();

// One frame rendered the way a host asks for it: in_data describes the output (size, extent
// hint) and the user's viewing settings (downsampling, pixel aspect, quality), out_data starts
// fresh, and PF_Cmd_RENDER goes out with the parameter values of the host's store and the
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

PF_Err RenderFrame(Host& host, World& input, World& output, const RenderSettings& settings = {});
// The same for worlds the host does not own (see BorrowedWorld), of the formats given.
PF_Err RenderFrame(Host& host, PF_EffectWorld& input, WorldFormat input_format, PF_EffectWorld& output,
                   WorldFormat output_format, const RenderSettings& settings = {});

// The host's worker threads for iterations: the rows of a frame are handed out one at a time
// to the calling thread and the workers, so a slow row (a wide feather band) does not hold
// up the others. The workers live as long as the pool and sleep between iterations.
class RowPool {
public:
    // `threads` counts the calling thread; 0 means one per core.
    explicit RowPool(unsigned threads);
    ~RowPool();
    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    unsigned threads() const { return static_cast<unsigned>(workers_.size()) + 1; }

    // Calls row_task(y) for every y in [begin, end) across the threads and returns when all
    // are done. Once a call returns false no further rows are started. One Run at a time.
    void Run(std::int64_t begin, std::int64_t end, const std::function<bool(std::int64_t)>& row_task);

private:
    void WorkerLoop();
    void TakeRows();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::uint64_t generation_ = 0;
    unsigned busy_workers_ = 0;
    bool shutting_down_ = false;

    const std::function<bool(std::int64_t)>* task_ = nullptr;
    std::atomic<std::int64_t> next_row_{0};
    std::int64_t end_row_ = 0;
    std::atomic<bool> stopped_{false};
};

unsigned HardwareThreads();  // at least 1

}  // namespace qxv::hostsim
