#include "StringArgument.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace qxv::frei0r {

namespace {

std::size_t PageSize() {
    static const std::size_t page = [] {
        const long size = sysconf(_SC_PAGESIZE);
        return size > 0 ? static_cast<std::size_t>(size) : std::size_t{4096};
    }();
    return page;
}

enum class Copy { kDone, kUnreadable, kUnavailable };

// The kernel copies from this process to itself and answers EFAULT for memory that is not
// there. Called through syscall() so that no sanitizer interceptor reads the source first.
Copy CopyThroughKernel(const void* address, void* out, std::size_t size) {
    iovec local{out, size};
    iovec remote{const_cast<void*>(address), size};
    const long copied = syscall(SYS_process_vm_readv, static_cast<long>(getpid()), &local, 1L, &remote, 1L, 0L);
    if (copied == static_cast<long>(size)) return Copy::kDone;
    if (copied >= 0 || errno == EFAULT) return Copy::kUnreadable;
    return Copy::kUnavailable;  // ENOSYS or EPERM: a sandbox that forbids the call
}

// Where the call above is forbidden: write() into a pipe also answers EFAULT without a signal.
Copy CopyThroughPipe(const void* address, void* out, std::size_t size) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return Copy::kUnavailable;
    Copy result = Copy::kUnreadable;
    if (write(ends[1], address, size) == static_cast<ssize_t>(size) &&
        read(ends[0], out, size) == static_cast<ssize_t>(size)) {
        result = Copy::kDone;
    }
    close(ends[0]);
    close(ends[1]);
    return result;
}

// A copy within one page: either all of it is readable or none of it is.
bool CopyWithinPage(const void* address, void* out, std::size_t size) {
    Copy copy = CopyThroughKernel(address, out, size);
    if (copy == Copy::kUnavailable) copy = CopyThroughPipe(address, out, size);
    return copy == Copy::kDone;
}

std::size_t BytesToPageEnd(std::uintptr_t at) { return PageSize() - at % PageSize(); }

std::optional<std::string> ReadText(const void* address) {
    if (!address) return std::nullopt;
    std::string text;
    auto at = reinterpret_cast<std::uintptr_t>(address);
    // Page by page: a text that ends just before an unmapped page is still read.
    while (text.size() < kLongestStringArgument) {
        char chunk[kLongestStringArgument];
        const std::size_t size = std::min(BytesToPageEnd(at), kLongestStringArgument - text.size());
        if (!CopyWithinPage(reinterpret_cast<const void*>(at), chunk, size)) return std::nullopt;
        const char* end = static_cast<const char*>(std::memchr(chunk, '\0', size));
        if (end) return text.append(chunk, static_cast<std::size_t>(end - chunk));
        text.append(chunk, size);
        at += size;
    }
    return std::nullopt;
}

}  // namespace

bool CopyIfReadable(const void* address, void* out, std::size_t size) {
    const int saved_errno = errno;
    auto at = reinterpret_cast<std::uintptr_t>(address);
    auto* to = static_cast<char*>(out);
    bool readable = address != nullptr;
    while (readable && size > 0) {
        const std::size_t part = std::min(BytesToPageEnd(at), size);
        readable = CopyWithinPage(reinterpret_cast<const void*>(at), to, part);
        at += part;
        to += part;
        size -= part;
    }
    errno = saved_errno;
    return readable;
}

std::optional<std::string> ReadStringArgument(const void* value, StringForm form) {
    const int saved_errno = errno;
    std::optional<std::string> text;
    if (form == StringForm::kText) {
        text = ReadText(value);
    } else if (const char* pointer = nullptr; CopyIfReadable(value, &pointer, sizeof pointer)) {
        text = ReadText(pointer);
    }
    errno = saved_errno;
    return text;
}

}  // namespace qxv::frei0r
