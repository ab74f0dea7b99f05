// A plug-in library as the host sees it: a file on disk that is loaded and asked for its
// one export, EntryPointFunc. Loading never throws; a failure comes back as a message that
// says which file and why.
#pragma once

#include <memory>
#include <string>

#include "AE_Effect.h"

namespace qxv::hostsim {

class PluginLibrary {
public:
    // Loads the library at `path` and resolves EntryPointFunc. On failure returns null and
    // fills `error` with a one-line message.
    static std::unique_ptr<PluginLibrary> Load(const std::string& path, std::string& error);

    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    PF_EntryPointFunc entry() const { return entry_; }
    const std::string& path() const { return path_; }

private:
    PluginLibrary(void* handle, PF_EntryPointFunc entry, std::string path);

    void* handle_;
    PF_EntryPointFunc entry_;
    std::string path_;
};

}  // namespace qxv::hostsim
