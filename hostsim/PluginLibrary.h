// A plug-in library as the host sees it: a file on disk that is loaded and asked for its
// one export, EntryPointFunc. Loading never throws; a failure comes back as a message that
// says which file and why. What a host reads of a Windows DLL without loading it is in
// instruments/PeImage.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

    // The resource filed under a named type, an integer id and a language, read as a Windows
    // host reads the PiPL of the library it loaded: FindResourceExW, LoadResource,
    // LockResource, SizeofResource. A shared object carries no resources, so elsewhere this
    // always fails. On failure `error` says which resource and why.
    bool ReadResource(const std::string& type, std::uint16_t id, std::uint16_t language,
                      std::vector<std::uint8_t>& bytes, std::string& error) const;

private:
    PluginLibrary(void* handle, PF_EntryPointFunc entry, std::string path);

    void* handle_;
    PF_EntryPointFunc entry_;
    std::string path_;
};

}  // namespace qxv::hostsim
