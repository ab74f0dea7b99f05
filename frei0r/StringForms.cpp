#include "StringForms.h"

#include <dlfcn.h>

#include <cstring>

namespace qxv::frei0r {

namespace {

bool IsGStreamerElement(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return std::strcmp(slash ? slash + 1 : path, "libgstfrei0r.so") == 0;
}

}  // namespace

Caller CallerAt(const void* return_address) {
    // Hosts call from one place or two: remember the last answer per thread, since MLT sets
    // every parameter before every frame and dladdr walks the list of loaded libraries.
    thread_local const void* last_address = nullptr;
    thread_local Caller last_caller = Caller::kOtherHost;
    if (return_address != last_address) {
        Dl_info info{};
        const bool known = dladdr(return_address, &info) != 0 && info.dli_fname != nullptr;
        last_caller = known && IsGStreamerElement(info.dli_fname) ? Caller::kGStreamerElement : Caller::kOtherHost;
        last_address = return_address;
    }
    return last_caller;
}

StringForm FormOfSet(ConstructionSets& sets, Caller caller, int index) {
    const bool constructing = sets.next_index >= 0 && index == sets.next_index;
    sets.next_index = constructing ? index + 1 : -1;
    return caller == Caller::kGStreamerElement && !constructing ? StringForm::kText : StringForm::kPointerToText;
}

void EndConstructionSets(ConstructionSets& sets) { sets.next_index = -1; }

}  // namespace qxv::frei0r
