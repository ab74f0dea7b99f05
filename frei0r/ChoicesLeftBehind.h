// The last valid choice a GStreamer element's instance leaves behind when the element is
// stopped, for the instance the element builds when it plays again.
//
// The element keeps each string property as text and fills a new instance from it. Where that
// text names no choice (the box emptied or half-typed when the element stopped) the new instance
// could only start from the effect's default, though the old one rendered the last valid choice.
// The element passes a new instance the same cache slot (a char**) it passed the old one, holding
// the very char* of the old instance's last live set, so that pair and the text identify it:
// another element would need its cache and its text at the same two addresses, with the same
// text, to be taken for it.
#pragma once

#include <string>

#include "AE_Effect.h"

namespace qxv::frei0r {

struct ChoiceLeftBehind {
    const void* slot;          // where the element keeps the char*, as its construction passed it
    const void* text_pointer;  // the char* of the last live set, which the slot then holds
    std::string text;          // that text, which names no choice
    PF_ParamValue choice;      // what the instance rendered instead
};

// Keeps `left` for the next instance; the oldest go first once there are many.
void LeaveChoiceBehind(ChoiceLeftBehind left);

// The choice left behind for a construction's set of `slot`, holding `text_pointer` to `text`;
// 0 where none was. Whatever was left for `slot` is forgotten either way.
PF_ParamValue TakeChoiceLeftBehind(const void* slot, const void* text_pointer, const std::string& text);

// Drops every choice left behind: the module is releasing its effect, and no element's
// instance is alive to come back for one.
void ForgetChoicesLeftBehind();

}  // namespace qxv::frei0r
