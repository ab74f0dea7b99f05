// Reading a frei0r string argument in the form its caller uses (StringForms.h), only through
// reads that cannot fault: a host's pointer is followed only where its memory is readable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "StringForms.h"

namespace qxv::frei0r {

// The longest text read; anything longer names no value of ours.
inline constexpr std::size_t kLongestStringArgument = 256;

// The text `value` carries in `form`: a char** followed to its text, or the char* itself.
// Empty where a byte to read is not readable memory of this process, or where no NUL ends the
// text within kLongestStringArgument bytes.
std::optional<std::string> ReadStringArgument(const void* value, StringForm form);

// Copies `size` bytes at `address` to `out` if every one of them is readable; never faults,
// and leaves errno as it was.
bool CopyIfReadable(const void* address, void* out, std::size_t size);

}  // namespace qxv::frei0r
