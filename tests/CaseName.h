// A parameterised case's name for test listings, from a text that describes it: letters and
// digits kept, every other run of characters one underscore (the only other character a
// test name may hold).
#pragma once

#include <cctype>
#include <string>

namespace qxv::test {

inline std::string CaseName(const std::string& text) {
    std::string name;
    for (unsigned char c : text) {
        if (std::isalnum(c)) {
            name += static_cast<char>(c);
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "case" : name;
}

}  // namespace qxv::test
