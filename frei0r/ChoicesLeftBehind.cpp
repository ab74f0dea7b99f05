#include "ChoicesLeftBehind.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>

namespace qxv::frei0r {

namespace {

// Elements destroyed for good leave entries no one takes; a few dozen live elements at most
// stop and play again at once.
constexpr std::size_t kMostKept = 64;

// Both trivially destructible, so that no static destructor takes them away from an instance
// that goes while its process exits; the entries go when the effect is released.
std::mutex g_lock;
std::deque<ChoiceLeftBehind>* g_kept = nullptr;

// With g_lock held.
std::deque<ChoiceLeftBehind>& Kept() {
    if (!g_kept) g_kept = new std::deque<ChoiceLeftBehind>();
    return *g_kept;
}

}  // namespace

void LeaveChoiceBehind(ChoiceLeftBehind left) {
    const std::lock_guard<std::mutex> hold(g_lock);
    auto& kept = Kept();
    kept.erase(std::remove_if(kept.begin(), kept.end(), [&](const auto& old) { return old.slot == left.slot; }),
               kept.end());
    if (kept.size() >= kMostKept) kept.pop_front();
    kept.push_back(std::move(left));
}

PF_ParamValue TakeChoiceLeftBehind(const void* slot, const void* text_pointer, const std::string& text) {
    const std::lock_guard<std::mutex> hold(g_lock);
    auto& kept = Kept();
    const auto found = std::find_if(kept.begin(), kept.end(), [&](const auto& left) { return left.slot == slot; });
    if (found == kept.end()) return 0;
    const PF_ParamValue choice = found->text_pointer == text_pointer && found->text == text ? found->choice : 0;
    kept.erase(found);
    return choice;
}

void ForgetChoicesLeftBehind() {
    const std::lock_guard<std::mutex> hold(g_lock);
    delete g_kept;
    g_kept = nullptr;
}

}  // namespace qxv::frei0r
