// A frei0r string parameter as the hosts really hand it over. The header, FFmpeg, MLT and
// GStreamer at construction pass a pointer to the char*; GStreamer passes a running element's
// property as the char* itself (what Pitivi does on every keystroke). Nothing in the call says
// which, so both readings are taken, each only through reads that cannot fault, and the caller
// keeps the one that names a value.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace qxv::frei0r {

struct StringReadings {
    std::optional<std::string> through_pointer;  // `value` read as a char**
    std::optional<std::string> direct;           // `value` read as the char* itself
};

// The longest text either reading takes; anything longer names no value of ours.
inline constexpr std::size_t kLongestStringArgument = 256;

// Either reading is empty where its bytes are not readable memory of this process, or where
// no NUL ends the text within kLongestStringArgument bytes.
StringReadings ReadStringArgument(const void* value);

// Copies `size` bytes at `address` to `out` if every one of them is readable; never faults,
// and leaves errno as it was.
bool CopyIfReadable(const void* address, void* out, std::size_t size);

// Whether a reading looks like text a person typed (printable UTF-8), for messages.
bool LooksLikeText(const std::string& text);

}  // namespace qxv::frei0r
