#include "hostsim/Session.h"

#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <string>

#include "hostsim/StandardSuites.h"

namespace qxv::hostsim {

namespace {

// Per thread: several sessions may send commands at once from their own threads (a frei0r
// host updates one instance per worker), and each callback must find the session of its own
// thread.
thread_local Session* g_current_session = nullptr;

// Every live session, so that an effect_ref coming back from the plug-in can be checked
// before it is trusted as a Session pointer. Never destroyed: a host may still render on its
// own threads while its process exits and the statics of this library go. It holds nothing
// once the last session is gone, so a library unloaded then leaves nothing behind.
struct LiveSessions {
    std::mutex mutex;
    std::set<const Session*> sessions;
};

LiveSessions& Live() {
    alignas(LiveSessions) static unsigned char storage[sizeof(LiveSessions)];
    static LiveSessions* live = new (storage) LiveSessions();
    return *live;
}

class CurrentSessionScope {
public:
    explicit CurrentSessionScope(Session* session) : previous_(g_current_session) { g_current_session = session; }
    ~CurrentSessionScope() { g_current_session = previous_; }
    CurrentSessionScope(const CurrentSessionScope&) = delete;
    CurrentSessionScope& operator=(const CurrentSessionScope&) = delete;

private:
    Session* previous_;
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

Session::Session(HostApp app, PF_EntryPointFunc entry, SessionObserver* observer)
    : app_(app), entry_(entry), observer_(observer) {
    {
        LiveSessions& live = Live();
        std::lock_guard<std::mutex> lock(live.mutex);
        live.sessions.insert(this);
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

Session::~Session() {
    LiveSessions& live = Live();
    std::lock_guard<std::mutex> lock(live.mutex);
    live.sessions.erase(this);
}

void Session::ResetOutData() { std::memset(out_data_.get(), 0, sizeof *out_data_); }

void Session::RegisterSuite(const std::string& name, std::int32_t version, const void* table) {
    suites_.Register(name, version, table);
}

void Session::UnregisterSuite(const std::string& name, std::int32_t version) { suites_.Unregister(name, version); }

RowPool& Session::IterationPool() {
    const unsigned wanted = iteration_threads_ ? iteration_threads_ : HardwareThreads();
    if (!pool_ || pool_->threads() != wanted) pool_ = std::make_unique<RowPool>(wanted);
    return *pool_;
}

PF_Err Session::Send(PF_Cmd cmd, PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
    CurrentSessionScope scope(this);
    current_command_ = cmd;
    if (observer_) observer_->CommandStarts(cmd);

    PF_Err err = PF_Err_NONE;
    try {
        err = entry_(cmd, in_data_.get(), out_data_.get(), params, output, extra);
    } catch (...) {
        // A real host would go down with the plug-in; we note it and carry on.
        Violation("an exception escaped EntryPointFunc during " + CommandName(cmd));
        err = PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    if (observer_) observer_->CommandEnded(cmd);
    current_command_ = -1;
    return err;
}

PF_Err Session::SendWithParams(PF_Cmd cmd, const PF_LayerDef* input, PF_LayerDef* output, void* extra) {
    ParamArray array(params_, input);
    PF_Err err = Send(cmd, array.data(), output, extra);
    changed_params_ = params_.AcceptChangedValues(array);
    return err;
}

PF_Err Session::About() {
    ResetOutData();
    return Send(PF_Cmd_ABOUT);
}

PF_Err Session::GlobalSetup() {
    ResetOutData();
    return Send(PF_Cmd_GLOBAL_SETUP);
}

PF_Err Session::ParamsSetup() {
    params_.Clear();
    ResetOutData();
    PF_Err err = Send(PF_Cmd_PARAMS_SETUP);
    // The host checks the count against what was added, the input layer included.
    if (err == PF_Err_NONE && out_data_->num_params != params_.count() + 1) {
        Violation("num_params is " + std::to_string(out_data_->num_params) + " but " +
                  std::to_string(params_.count()) + " parameters were added (expected " +
                  std::to_string(params_.count() + 1) + " with the input layer)");
    }
    in_data_->num_params = params_.count() + 1;
    return err;
}

PF_Err Session::UpdateParamsUI() {
    ResetOutData();
    return SendWithParams(PF_Cmd_UPDATE_PARAMS_UI, nullptr);
}

void Session::SetWorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat format) { world_formats_[world] = format; }

bool Session::WorldPixelFormat(const PF_EffectWorld* world, PrPixelFormat& format) const {
    auto it = world_formats_.find(world);
    if (it == world_formats_.end()) return false;
    format = it->second;
    return true;
}

Session* Session::Current() { return g_current_session; }

Session* Session::FromEffectRef(PF_ProgPtr effect_ref) {
    {
        LiveSessions& live = Live();
        std::lock_guard<std::mutex> lock(live.mutex);
        auto* session = reinterpret_cast<const Session*>(effect_ref);
        if (live.sessions.count(session)) return const_cast<Session*>(session);
    }
    if (Session* current = Current()) current->Violation("a callback was given an effect_ref that is not the host's");
    return nullptr;
}

void Session::Report(const std::string& call, std::string detail, PF_Err result) {
    if (observer_) observer_->Called(current_command_, call, std::move(detail), result);
}

void Session::Violation(std::string what) {
    if (observer_) observer_->Violation(std::move(what));
}

namespace {

std::string DefinitionText(const PF_ParamDef* def) {
    if (!def) return "null definition";
    return QuoteText(std::string(def->name, strnlen(def->name, sizeof def->name)).c_str()) + " " +
           ParamTypeName(def->param_type) + " id " + std::to_string(def->uu.id);
}

PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    const bool observed = session->observer() != nullptr;
    std::string detail = observed ? "index " + std::to_string(index) + ", " + DefinitionText(def) : std::string();
    PF_Err err = session->Intercept("add_param");
    if (err) {
        detail += " (injected)";
    } else if (!def) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        std::string problem;
        err = session->params().Add(index, ReadParamDef(def), problem);
        if (err && observed) {
            detail += ": " + problem;
            session->Violation("add_param refused " + DefinitionText(def) + ": " + problem);
        }
    }
    session->Report("add_param", std::move(detail), err);
    return err;
}

PF_Err RegisterUI(PF_ProgPtr effect_ref, PF_CustomUIInfo* info) {
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_CustomUIInfo read = info ? ReadCustomUIInfo(info) : PF_CustomUIInfo{};
    std::string detail = info ? "events " + std::to_string(read.events) : "null record";
    PF_Err err = session->Intercept("register_ui");
    if (err) {
        detail += " (injected)";
    } else if (!info) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        // A shipping host takes this as success and shows the overlay nowhere.
        if ((read.events & (PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER | PF_CustomEFlag_EFFECT)) == 0) {
            session->Violation("register_ui names no window in events (" + std::to_string(read.events) +
                               " at offset 4, reserved " + std::to_string(read.reserved) +
                               "): the custom UI would appear nowhere");
        }
        if (SessionObserver* observer = session->observer()) observer->UIRegistered(read);
    }
    session->Report("register_ui", std::move(detail), err);
    return err;
}

PF_Err Abort(PF_ProgPtr effect_ref) {
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = session->Intercept("abort");
    session->Report("abort", "", err);
    return err;
}

PF_Err Progress(PF_ProgPtr effect_ref, A_long current, A_long total) {
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = session->Intercept("progress");
    if (session->observer()) session->Report("progress", std::to_string(current) + " of " + std::to_string(total), err);
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

PF_Err RenderFrame(Session& session, World& input, World& output, const RenderSettings& settings) {
    return RenderFrame(session, *input.def(), input.format(), *output.def(), output.format(), settings);
}

PF_Err RenderFrame(Session& session, PF_EffectWorld& input, WorldFormat input_format, PF_EffectWorld& output,
                   WorldFormat output_format, const RenderSettings& settings) {
    PF_InData& in_data = session.in_data();
    in_data.width = output.width;
    in_data.height = output.height;
    in_data.extent_hint = output.extent_hint;
    in_data.downsample_x = settings.downsample_x;
    in_data.downsample_y = settings.downsample_y;
    in_data.pixel_aspect_ratio = settings.pixel_aspect_ratio;
    in_data.quality = settings.quality;
    if (session.is_premiere()) {
        session.SetWorldPixelFormat(&input, PremierePixelFormat(input_format));
        session.SetWorldPixelFormat(&output, settings.pixel_format.value_or(PremierePixelFormat(output_format)));
    }
    session.ResetOutData();
    return session.SendWithParams(PF_Cmd_RENDER, &input, &output);
}

}  // namespace qxv::hostsim
