#include "hostsim/Host.h"

#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "hostsim/HostCalls.h"
#include "hostsim/Params.h"
#include "hostsim/ShippingLayouts.h"
#include "hostsim/StandardSuites.h"

namespace qxv::hostsim {

namespace {

// Per thread: several hosts may send commands at once from their own threads (a frei0r host
// updates one instance per worker), and each callback must find the host of its own thread.
thread_local Host* g_current_host = nullptr;

// Every live host, so that an effect_ref coming back from the plug-in can be checked before
// it is trusted as a Host pointer.
std::mutex g_hosts_mutex;
std::set<const Host*> g_hosts;

class CurrentHostScope {
public:
    explicit CurrentHostScope(Host* host) : previous_(g_current_host) { g_current_host = host; }
    ~CurrentHostScope() { g_current_host = previous_; }
    CurrentHostScope(const CurrentHostScope&) = delete;
    CurrentHostScope& operator=(const CurrentHostScope&) = delete;

private:
    Host* previous_;
};

}  // namespace

const char* HostAppName(HostApp app) {
    return app == HostApp::kPremierePro ? "Premiere Pro" : "After Effects";
}

HostApp HostOfFormat(WorldFormat format) {
    return IsPremiereFormat(format) ? HostApp::kPremierePro : HostApp::kAfterEffects;
}

std::optional<WorldFormat> HostFormat(HostApp app, FrameDepth depth) {
    const bool premiere = app == HostApp::kPremierePro;
    switch (depth) {
        case FrameDepth::k8: return premiere ? WorldFormat::kBgra8 : WorldFormat::kArgb8;
        case FrameDepth::k16: return premiere ? std::nullopt : std::optional(WorldFormat::kArgb16);
        case FrameDepth::kFloat: return premiere ? std::optional(WorldFormat::kBgraFloat) : std::nullopt;
    }
    return std::nullopt;
}

Host::Host(HostApp app, PF_EntryPointFunc entry) : app_(app), entry_(entry) {
    {
        std::lock_guard<std::mutex> lock(g_hosts_mutex);
        g_hosts.insert(this);
    }
    utils_.ansi = MakeAnsiCallbacks();
    basic_suite_ = MakeBasicSuite();

    in_data_->inter = MakeInteractCallbacks();
    in_data_->utils = &utils_;
    in_data_->effect_ref = reinterpret_cast<PF_ProgPtr>(this);
    in_data_->quality = PF_Quality_HI;
    in_data_->version = PF_SpecVersion{13, 27};
    in_data_->appl_id = app == HostApp::kPremierePro ? kPremiereProApplId : kAfterEffectsApplId;
    in_data_->time_scale = 1;
    in_data_->time_step = 1;
    in_data_->local_time_step = 1;
    in_data_->total_time = 1;
    in_data_->downsample_x = PF_RationalScale{1, 1};
    in_data_->downsample_y = PF_RationalScale{1, 1};
    in_data_->pixel_aspect_ratio = PF_RationalScale{1, 1};
    in_data_->pica_basicP = &basic_suite_;

    RegisterStandardSuites(*this);
}

Host::~Host() {
    std::lock_guard<std::mutex> lock(g_hosts_mutex);
    g_hosts.erase(this);
}

void Host::ResetOutData() { std::memset(out_data_.get(), 0, sizeof *out_data_); }

void Host::SetBasicSuiteAvailable(bool available) { in_data_->pica_basicP = available ? &basic_suite_ : nullptr; }

void Host::RegisterSuite(const std::string& name, std::int32_t version, const void* table) {
    suites_.Register(name, version, table);
}

void Host::UnregisterSuite(const std::string& name, std::int32_t version) { suites_.Unregister(name, version); }

void Host::ClearCommandRecords() {
    command_violations_.clear();
    accounting_.BeginCommand();
}

PF_Err Host::Send(PF_Cmd cmd, PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
    ClearCommandRecords();
    CurrentHostScope scope(this);
    current_command_ = cmd;
    trace_.Add(cmd, "EntryPointFunc", CommandName(cmd), PF_Err_NONE);

    PF_Err err = PF_Err_NONE;
    try {
        err = entry_(cmd, in_data_.get(), out_data_.get(), params, output, extra);
    } catch (...) {
        // A real host would go down with the plug-in; we note it and carry on.
        AddViolation("an exception escaped EntryPointFunc during " + CommandName(cmd));
        err = PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    for (const std::string& imbalance : accounting_.Imbalances()) {
        AddViolation(CommandName(cmd) + ": " + imbalance);
    }
    current_command_ = -1;
    return err;
}

PF_Err Host::SendWithParams(PF_Cmd cmd, const PF_LayerDef* input, PF_LayerDef* output, void* extra) {
    ParamArray array(params_, input);
    PF_Err err = Send(cmd, array.data(), output, extra);
    changed_params_ = params_.AcceptChangedValues(array);
    return err;
}

PF_Err Host::About() {
    ResetOutData();
    return Send(PF_Cmd_ABOUT);
}

PF_Err Host::GlobalSetup() {
    ResetOutData();
    return Send(PF_Cmd_GLOBAL_SETUP);
}

PF_Err Host::ParamsSetup() {
    params_.Clear();
    registered_ui_.clear();
    ResetOutData();
    PF_Err err = Send(PF_Cmd_PARAMS_SETUP);
    // The host checks the count against what was added, the input layer included.
    if (err == PF_Err_NONE && out_data_->num_params != params_.count() + 1) {
        AddViolation("num_params is " + std::to_string(out_data_->num_params) + " but " +
                     std::to_string(params_.count()) + " parameters were added (expected " +
                     std::to_string(params_.count() + 1) + " with the input layer)");
    }
    in_data_->num_params = params_.count() + 1;
    return err;
}

PF_Err Host::UpdateParamsUI() {
    ResetOutData();
    return SendWithParams(PF_Cmd_UPDATE_PARAMS_UI, nullptr);
}

void Host::AddViolation(std::string what) {
    all_violations_.push_back(what);
    command_violations_.push_back(std::move(what));
}

std::vector<PrPixelFormat> Host::SupportedPixelFormats() const {
    std::vector<PrPixelFormat> formats;
    for (const auto& call : pixel_format_calls_) {
        if (call.call == "ClearSupportedPixelFormats") {
            formats.clear();
        } else {
            formats.push_back(call.format);
        }
    }
    return formats;
}

void Host::SetWorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat format) { world_formats_[world] = format; }

bool Host::WorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat& format) const {
    auto it = world_formats_.find(world);
    if (it == world_formats_.end()) return false;
    format = it->second;
    return true;
}

Host* Host::Current() { return g_current_host; }

Host* Host::FromEffectRef(PF_ProgPtr effect_ref) {
    {
        std::lock_guard<std::mutex> lock(g_hosts_mutex);
        auto* host = reinterpret_cast<const Host*>(effect_ref);
        if (g_hosts.count(host)) return const_cast<Host*>(host);
    }
    if (Host* current = Current()) {
        current->AddViolation("a callback was given an effect_ref that is not the host's");
    }
    return nullptr;
}

void Host::Trace(std::string call, std::string detail, PF_Err result) {
    trace_.Add(current_command_, std::move(call), std::move(detail), result);
}

namespace {

std::string DefinitionText(const PF_ParamDef* def) {
    if (!def) return "null definition";
    return QuoteText(std::string(def->name, strnlen(def->name, sizeof def->name)).c_str()) + " " +
           ParamTypeName(def->param_type) + " id " + std::to_string(def->uu.id);
}

PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    std::string detail = "index " + std::to_string(index) + ", " + DefinitionText(def);
    PF_Err err = host->CheckFailure("add_param");
    if (err) {
        detail += " (injected)";
    } else if (!def) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        std::string problem;
        err = host->params().Add(index, ReadParamDef(def), problem);
        if (err) {
            detail += ": " + problem;
            host->AddViolation("add_param refused " + DefinitionText(def) + ": " + problem);
        }
    }
    host->Trace("add_param", detail, err);
    return err;
}

PF_Err RegisterUI(PF_ProgPtr effect_ref, PF_CustomUIInfo* info) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_CustomUIInfo read = info ? ReadCustomUIInfo(info) : PF_CustomUIInfo{};
    std::string detail = info ? "events " + std::to_string(read.events) : "null record";
    PF_Err err = host->CheckFailure("register_ui");
    if (err) {
        detail += " (injected)";
    } else if (!info) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        // A shipping host takes this as success and shows the overlay nowhere.
        if ((read.events & (PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER | PF_CustomEFlag_EFFECT)) == 0) {
            host->AddViolation("register_ui names no window in events (" + std::to_string(read.events) +
                               " at offset 4, reserved " + std::to_string(read.reserved) +
                               "): the custom UI would appear nowhere");
        }
        host->RecordRegisterUI(read);
    }
    host->Trace("register_ui", detail, err);
    return err;
}

PF_Err Abort(PF_ProgPtr effect_ref) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure("abort");
    host->Trace("abort", "", err);
    return err;
}

PF_Err Progress(PF_ProgPtr effect_ref, A_long current, A_long total) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure("progress");
    host->Trace("progress", std::to_string(current) + " of " + std::to_string(total), err);
    return err;
}

}  // namespace

PF_InteractCallbacks MakeInteractCallbacks() {
    PF_InteractCallbacks inter{};
    inter.add_param = AddParam;
    inter.register_ui = RegisterUI;
    inter.abort = Abort;
    inter.progress = Progress;
    return inter;
}

PF_Err RenderFrame(Host& host, World& input, World& output, const RenderSettings& settings) {
    return RenderFrame(host, *input.def(), input.format(), *output.def(), output.format(), settings);
}

PF_Err RenderFrame(Host& host, PF_EffectWorld& input, WorldFormat input_format, PF_EffectWorld& output,
                   WorldFormat output_format, const RenderSettings& settings) {
    PF_InData& in_data = host.in_data();
    in_data.width = output.width;
    in_data.height = output.height;
    in_data.extent_hint = output.extent_hint;
    in_data.downsample_x = settings.downsample_x;
    in_data.downsample_y = settings.downsample_y;
    in_data.pixel_aspect_ratio = settings.pixel_aspect_ratio;
    in_data.quality = settings.quality;
    if (host.is_premiere()) {
        host.SetWorldPixelFormat(&input, PremierePixelFormat(input_format));
        host.SetWorldPixelFormat(&output, settings.pixel_format.value_or(PremierePixelFormat(output_format)));
    }
    host.ResetOutData();
    return host.SendWithParams(PF_Cmd_RENDER, &input, &output);
}

unsigned HardwareThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? cores : 1;
}

RowPool::RowPool(unsigned threads) {
    if (threads == 0) threads = HardwareThreads();
    for (unsigned i = 1; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

RowPool::~RowPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shutting_down_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void RowPool::TakeRows() {
    for (;;) {
        if (stopped_.load(std::memory_order_relaxed)) return;
        const std::int64_t y = next_row_.fetch_add(1, std::memory_order_relaxed);
        if (y >= end_row_) return;
        if (!(*task_)(y)) stopped_.store(true, std::memory_order_relaxed);
    }
}

void RowPool::WorkerLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return shutting_down_ || generation_ != seen; });
            if (shutting_down_) return;
            seen = generation_;
        }
        TakeRows();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (--busy_workers_ == 0) finished_.notify_one();
        }
    }
}

void RowPool::Run(std::int64_t begin, std::int64_t end, const std::function<bool(std::int64_t)>& row_task) {
    if (begin >= end) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = &row_task;
        next_row_.store(begin);
        end_row_ = end;
        stopped_.store(false);
        busy_workers_ = static_cast<unsigned>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    TakeRows();
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return busy_workers_ == 0; });
    task_ = nullptr;
}

}  // namespace qxv::hostsim
