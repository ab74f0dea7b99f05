// Which of two forms a frei0r string argument arrives in, decided by who calls and when, never
// by what the bytes at the address look like (a text's own bytes can look like a pointer to
// some other text, and that text could name a choice).
//
// The header, FFmpeg and MLT always pass a pointer to the char*. GStreamer's element (Debian
// 12's libgstfrei0r.so, GStreamer 1.22) does too when it constructs an instance: right after
// f0r_construct it sets every parameter from its property cache, in index order, before the
// instance is handed to anything else. A property set later, on an element that has an
// instance (Pitivi on every keystroke), reaches the module as the char* itself. So the calling
// library tells whether the exception can apply at all, and the instance's own sequence tells
// the construction's sets from the live ones: no sampling of memory, and no host that follows
// the header is ever read the other way.
#pragma once

namespace qxv::frei0r {

enum class StringForm {
    kPointerToText,  // a char**: the header's form
    kText,           // the char* itself
};

enum class Caller {
    kGStreamerElement,  // code in libgstfrei0r.so
    kOtherHost,
};

// The caller whose code holds `return_address` (an entry point's own return address).
Caller CallerAt(const void* return_address);

// Where an instance is in GStreamer's construct-then-set-everything sequence.
struct ConstructionSets {
    int next_index = 0;  // the parameter the construction sets next; -1 once it is over
};

// The form in which a set of parameter `index` by `caller` passes a string, advancing the
// instance's sequence; called for every set, whatever the parameter's type.
StringForm FormOfSet(ConstructionSets& sets, Caller caller, int index);

// A get or an update ends the construction's sets: GStreamer makes neither in between.
void EndConstructionSets(ConstructionSets& sets);

}  // namespace qxv::frei0r
