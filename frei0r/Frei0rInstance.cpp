#include "Frei0rInstance.h"

#include <algorithm>
#include <cstring>

#include "ChoicesLeftBehind.h"
#include "Frei0rApi.h"
#include "StringArgument.h"
#include "hostsim/Session.h"
#include "hostsim/Params.h"

namespace qxv::frei0r {

using hostsim::WorldFormat;

Frei0rInstance::Frei0rInstance(const LoadedEffect& effect, FrameSize frame)
    : effect_(effect),
      frame_(frame),
      host_(hostsim::HostApp::kPremierePro, effect.library->entry()),
      texts_(effect.params.size()),
      typed_(effect.params.size()),
      unset_fractions_(effect.params.size()) {
    // The parameters are those the plug-in registered once for the process; a point's default
    // is placed on this instance's frame, as a host places it on the layer.
    host_.params() = effect.controls;
    host_.in_data().num_params = host_.params().count() + 1;
    hostsim::PlacePointDefaults(host_.params(), frame.width, frame.height);
    // A length starts as its default fraction, set as a host would set it, so that a host that
    // reads the default and sets it back renders the same bits.
    for (std::size_t index = 0; index < effect.params.size(); ++index) {
        const Frei0rParam& param = effect.params[index];
        hostsim::RegisteredParam& control = host_.params().Param(param.control_index);
        unset_fractions_[index] = DefaultFraction(*param.binding, control);
        std::string problem;
        if (unset_fractions_[index]) SetFromFrei0r(*param.binding, control, frame_, &*unset_fractions_[index], problem);
    }
}

void Frei0rInstance::Set(int index, const void* value, Caller caller) {
    const StringForm form = FormOfSet(construction_sets_, caller, index);
    if (index < 0 || index >= static_cast<int>(effect_.params.size()) || !value) return;
    const auto at = static_cast<std::size_t>(index);
    const Frei0rParam& param = effect_.params[at];
    hostsim::RegisteredParam& control = host_.params().Param(param.control_index);
    std::string problem;
    bool taken = false;
    if (Frei0rType(param.binding->unit) == F0R_PARAM_STRING) {
        taken = SetString(at, control, value, form, caller, problem);
    } else {
        taken = SetFromFrei0r(*param.binding, control, frame_, value, problem);
    }
    if (taken) {
        unset_fractions_[at].reset();
    } else {
        SayOnce(problem);
    }
}

Frei0rInstance::~Frei0rInstance() {
    try {
        for (std::size_t index = 0; index < typed_.size(); ++index) {
            const TypedText& typed = typed_[index];
            if (!typed.slot || !typed.text || typed.valid) continue;
            const PF_ParamValue choice = host_.params().Param(effect_.params[index].control_index).def.u.pd.value;
            LeaveChoiceBehind({typed.slot, typed.live_pointer, *typed.text, choice});
        }
    } catch (...) {
        // Out of memory: the element's next instance starts from the default instead.
    }
}

bool Frei0rInstance::SetString(std::size_t index, hostsim::RegisteredParam& control, const void* value,
                               StringForm form, Caller caller, std::string& problem) {
    TypedText& typed = typed_[index];
    const std::optional<std::string> text = ReadStringArgument(value, form);
    if (form == StringForm::kText) {
        typed.live_pointer = value;
    } else if (caller == Caller::kGStreamerElement) {
        // The element filling this new instance from its cache: a text that names no choice
        // takes what the element's previous instance rendered, where it left that behind.
        const char* in_slot = nullptr;
        CopyIfReadable(value, &in_slot, sizeof in_slot);
        typed.slot = value;
        typed.live_pointer = in_slot;
        if (const PF_ParamValue left = TakeChoiceLeftBehind(value, in_slot, text.value_or(""))) {
            control.def.u.pd.value = left;
        }
    }
    const ParamBinding& binding = *effect_.params[index].binding;
    if (!text) return SetFromText(binding, control, frame_, text, problem);  // the text shown stays
    typed.text = text;
    typed.valid = SetFromText(binding, control, frame_, text, problem);
    return typed.valid;
}

void Frei0rInstance::Get(int index, void* value) {
    EndConstructionSets(construction_sets_);
    if (index < 0 || index >= static_cast<int>(effect_.params.size()) || !value) return;
    if (const auto& typed = typed_[static_cast<std::size_t>(index)].text) {
        std::string& text = texts_[static_cast<std::size_t>(index)];
        text = *typed;
        *static_cast<const char**>(value) = text.c_str();
        return;
    }
    // A length never set answers its fraction itself: pixels divided back by this frame's
    // width need not give the same double.
    if (const auto& fraction = unset_fractions_[static_cast<std::size_t>(index)]) {
        *static_cast<double*>(value) = *fraction;
        return;
    }
    const Frei0rParam& param = effect_.params[static_cast<std::size_t>(index)];
    GetAsFrei0r(*param.binding, host_.params().Param(param.control_index), frame_, value,
                texts_[static_cast<std::size_t>(index)]);
}

void Frei0rInstance::Update(const std::uint32_t* in, std::uint32_t* out) {
    EndConstructionSets(construction_sets_);
    if (!in || !out) return;
    const std::size_t pixels = static_cast<std::size_t>(frame_.width) * static_cast<std::size_t>(frame_.height);
    if (in == out) {
        // The effect reads its input while writing its output; give it an input of its own.
        in_place_copy_.assign(in, in + pixels);
        in = in_place_copy_.data();
    }
    const A_long rowbytes = frame_.width * 4;
    // The effect only reads its input layer; the world record has no const form.
    input_ = hostsim::BorrowedWorld(WorldFormat::kBgra8, const_cast<std::uint32_t*>(in), frame_.width, frame_.height,
                                    rowbytes);
    output_ = hostsim::BorrowedWorld(WorldFormat::kBgra8, out, frame_.width, frame_.height, rowbytes);
    const PF_Err err = hostsim::RenderFrame(host_, input_, WorldFormat::kBgra8, output_, WorldFormat::kBgra8);
    if (err) {
        // frei0r has no way to fail a frame: the picture passes through untouched instead.
        std::memmove(out, in, pixels * 4);
        SayOnce("rendering failed with error " + std::to_string(err) + "; the frame passes through unchanged");
    }
}

void Frei0rInstance::SayOnce(const std::string& message) {
    // Keyframed bad values could say something new every frame; a page of them is enough.
    constexpr std::size_t kMostMessages = 100;
    if (said_.size() >= kMostMessages || !said_.insert(message).second) return;
    SayOnStderr(message);
}

}  // namespace qxv::frei0r
