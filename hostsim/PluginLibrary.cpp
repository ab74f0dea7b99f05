#include "PluginLibrary.h"

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
    auto entry = reinterpret_cast<PF_EntryPointFunc>(GetProcAddress(module, kEntryPointName));
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

}  // namespace qxv::hostsim
