// One frei0r instance: a Premiere Pro session of its own (parameter values, iteration
// threads) over the effect the module loaded, so instances share no mutable state and may be
// updated in parallel, each from one thread at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Frei0rValues.h"
#include "StringForms.h"
#include "hostsim/Session.h"
#include "LoadedEffect.h"

namespace qxv::frei0r {

class Frei0rInstance {
public:
    Frei0rInstance(const LoadedEffect& effect, FrameSize frame);
    // Leaves the choices a GStreamer element's next instance needs behind (ChoicesLeftBehind.h).
    ~Frei0rInstance();
    Frei0rInstance(const Frei0rInstance&) = delete;
    Frei0rInstance& operator=(const Frei0rInstance&) = delete;

    // Out-of-range indices and null values are ignored: frei0r leaves them undefined. `caller`
    // decides the form a string arrives in (StringForms.h).
    void Set(int index, const void* value, Caller caller);
    // A string parameter answers the text last set, valid or not, while the effect renders the
    // last valid one: Pitivi writes the answer back into the box being typed in, and a box
    // that turned "S" back into "Multiply" could never be typed in.
    void Get(int index, void* value);
    // Renders one frame of width x height BGRA pixels, rows packed. `in` may equal `out`.
    void Update(const std::uint32_t* in, std::uint32_t* out);

private:
    // A string parameter as its host last set it.
    struct TypedText {
        std::optional<std::string> text;     // what get answers; empty until a readable set
        bool valid = false;                  // whether the text names a choice
        const void* slot = nullptr;          // GStreamer: the char** its construction passed
        const void* live_pointer = nullptr;  // GStreamer: the char* that slot now holds
    };

    bool SetString(std::size_t index, hostsim::RegisteredParam& control, const void* value, StringForm form,
                   Caller caller, std::string& problem);
    // Says a problem on standard error unless this instance said it before: hosts re-set
    // every parameter before every frame, and one message is enough.
    void SayOnce(const std::string& message);

    const LoadedEffect& effect_;
    FrameSize frame_;
    hostsim::Session host_;
    PF_EffectWorld input_{};   // over the host's frames, re-aimed every update
    PF_EffectWorld output_{};
    std::vector<std::uint32_t> in_place_copy_;
    std::vector<std::string> texts_;  // strings handed out by Get, one per parameter
    std::vector<TypedText> typed_;  // per parameter; used for the string ones
    ConstructionSets construction_sets_;
    std::vector<std::optional<double>> unset_fractions_;  // lengths the host has not set yet
    std::set<std::string> said_;
};

}  // namespace qxv::frei0r
