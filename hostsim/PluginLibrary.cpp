#include "hostsim/PluginLibrary.h"

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace qxv::hostsim {

namespace {

constexpr const char kEntryPointName[] = "EntryPointFunc";

#if defined(_WIN32)
std::wstring Widen(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    return wide;
}

std::string LastErrorText() { return "Windows error " + std::to_string(GetLastError()); }
#endif

}  // namespace

PluginLibrary::PluginLibrary(void* handle, PF_EntryPointFunc entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

std::unique_ptr<PluginLibrary> PluginLibrary::Load(const std::string& path, std::string& error) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryW(Widen(path).c_str());
    if (!module) {
        error = "cannot load plug-in " + path + ": " + LastErrorText();
        return nullptr;
    }
    // Through void*: GetProcAddress answers a generic function pointer of another type.
    auto entry = reinterpret_cast<PF_EntryPointFunc>(reinterpret_cast<void*>(GetProcAddress(module, kEntryPointName)));
    if (!entry) {
        error = "plug-in " + path + " does not export " + kEntryPointName + ": " + LastErrorText();
        FreeLibrary(module);
        return nullptr;
    }
    return std::unique_ptr<PluginLibrary>(new PluginLibrary(module, entry, path));
#else
    // RTLD_LOCAL: the plug-in's own symbols must not satisfy anything of ours, nor ours its.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = "cannot load plug-in " + path + ": " + (why ? why : "unknown reason");
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(handle, kEntryPointName);
    if (!symbol) {
        error = "plug-in " + path + " does not export " + kEntryPointName;
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<PluginLibrary>(
        new PluginLibrary(handle, reinterpret_cast<PF_EntryPointFunc>(symbol), path));
#endif
}

PluginLibrary::~PluginLibrary() {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

bool PluginLibrary::ReadResource(const std::string& type, std::uint16_t id, std::uint16_t language,
                                 std::vector<std::uint8_t>& bytes, std::string& error) const {
    char key[96];
    std::snprintf(key, sizeof key, " %u, language 0x%04X", static_cast<unsigned>(id), static_cast<unsigned>(language));
    const std::string resource = "resource " + type + key + " of " + path_;
#if defined(_WIN32)
    const auto module = static_cast<HMODULE>(handle_);
    HRSRC found = FindResourceExW(module, Widen(type).c_str(), MAKEINTRESOURCEW(id), language);
    if (!found) {
        error = "no " + resource + ": " + LastErrorText();
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        error = "cannot load " + resource + ": " + LastErrorText();
        return false;
    }
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes.assign(first, first + SizeofResource(module, found));
    return true;
#else
    bytes.clear();
    error = "no " + resource + ": a shared object carries no resources";
    return false;
#endif
}

}  // namespace qxv::hostsim
