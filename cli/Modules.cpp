#include "cli/Modules.h"

#include "orvane/BuildInfo.h"

#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace orvane::cli {

namespace {

// The directory of the running program, with a trailing slash; empty when unknown.
std::string ProgramDirectory() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

class Module {
public:
    explicit Module(const char* name) : name_(name) {}
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    /// The symbol, loading the module first; null with `error` set when either is missing.
    void* Symbol(const char* symbol, std::string& error) {
        if (!handle_ && error_.empty())
            Load();
        if (!handle_) {
            error = error_;
            return nullptr;
        }
        void* address = dlsym(handle_, symbol);
        if (!address)
            error = name_ + std::string(": ") + symbol;
        return address;
    }
    bool Loaded() const { return handle_ != nullptr; }

private:
    void Load() {
        // Beside the program (the build tree, a copy run from its folder), then in the installed
        // private directory, found from the program's own place: a dlopen by name would follow the
        // run path of its caller, which in a sanitized build is the sanitizer's runtime. By name
        // last, for a layout moved by hand.
        const std::string dir = ProgramDirectory();
        std::string path = name_;
        for (const std::string& candidate :
             {dir + name_, dir + build::kPrivateLibDirFromBinDir + '/' + name_}) {
            if (!dir.empty() && access(candidate.c_str(), F_OK) == 0) {
                path = candidate;
                break;
            }
        }
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            const char* reason = dlerror();
            error_ = reason ? reason : name_;
        }
    }

    const char* name_;
    void* handle_ = nullptr; // kept to the end of the process
    std::string error_;
};

Module& FetchModule() {
    static Module module(kFetchModule);
    return module;
}

} // namespace

std::optional<FetchReply> Fetch(const FetchRequest& request, std::string& error) {
    const auto entry = reinterpret_cast<FetchEntry>(FetchModule().Symbol("orvane_cli_fetch", error));
    if (!entry)
        return std::nullopt;
    FetchReply reply;
    entry(&request, &reply);
    return reply;
}

std::optional<bool> ProxyUsable(const std::string& proxy, std::string& error) {
    const auto entry =
        reinterpret_cast<ProxyUsableEntry>(FetchModule().Symbol("orvane_cli_proxy_usable", error));
    if (!entry)
        return std::nullopt;
    return entry(proxy.c_str());
}

void EndFetching() {
    if (!FetchModule().Loaded())
        return;
    std::string error;
    if (const auto entry =
            reinterpret_cast<FetchEndEntry>(FetchModule().Symbol("orvane_cli_fetch_end", error)))
        entry();
}

std::string DetectCharsetLazily(std::string_view bytes) {
    static Module module(kDetectModule);
    static bool reported = false;
    std::string error;
    const auto entry = reinterpret_cast<DetectEntry>(module.Symbol("orvane_cli_detect_charset", error));
    if (!entry) {
        // The page is then read in the system code page, as one the detector is unsure of.
        if (!reported)
            std::fprintf(stderr, "orvane-cli: %s\n", error.c_str());
        reported = true;
        return {};
    }
    std::string charset;
    entry(bytes.data(), bytes.size(), &charset);
    return charset;
}

} // namespace orvane::cli
