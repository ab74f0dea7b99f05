#include "cli/PendingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace qxv::cli {

namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

std::string DirectoryPart(const std::string& path) {
    const std::size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionPart(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
}

}  // namespace

PendingFile::PendingFile(std::string final_path) : final_path_(std::move(final_path)) {
    const std::string name = NamePart(final_path_);
    temp_path_ = DirectoryPart(final_path_) + "." + name + ".qxv-" + std::to_string(getpid()) + ExtensionPart(name);
}

PendingFile::~PendingFile() {
    if (!committed_) std::remove(temp_path_.c_str());
}

bool PendingFile::Commit(std::string& error) {
#if defined(_WIN32)
    // rename() on Windows refuses to replace an existing file.
    if (!MoveFileExA(temp_path_.c_str(), final_path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "cannot write " + final_path_ + ": Windows error " + std::to_string(GetLastError());
        return false;
    }
#else
    if (std::rename(temp_path_.c_str(), final_path_.c_str()) != 0) {
        error = "cannot write " + final_path_ + ": " + std::strerror(errno);
        return false;
    }
#endif
    committed_ = true;
    return true;
}

bool CanCreateFileBeside(const std::string& path, std::string& error) {
    std::string directory = DirectoryPart(path);
    if (directory.empty()) directory = ".";
#if defined(_WIN32)
    const int access_mode = W_OK;  // directories have no execute permission to check
#else
    const int access_mode = W_OK | X_OK;
#endif
    if (access(directory.c_str(), access_mode) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno) + " (choose a writable directory)";
        return false;
    }
    return true;
}

}  // namespace qxv::cli
