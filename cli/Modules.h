#pragma once
// What orvane-cli loads only when an input needs it, from two modules of its own: the fetch (Qt Core
// and Network, about 8 ms to load) and the character-set detector for undeclared pages (ICU, about
// 3 ms). A file that needs neither is converted without them: loading them at start-up would more
// than double the time of a whole run.
//
// The modules lie beside the program in the build tree, and in the program's private library
// directory once installed (found through its run path).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::cli {

struct FetchRequest {
    std::string text; // the address as given
    bool useProxy = false;
    std::string proxy;
};

struct FetchReply {
    enum class Outcome {
        Ok,         // a whole 2xx body
        Failed,     // the transfer failed
        BadAddress, // the text or the proxy cannot be used for a request
    };
    Outcome outcome = Outcome::BadAddress;
    std::string address;  // the address fetched (the text with "http://" where it had no scheme)
    std::string body;     // the body as sent, any content coding undone
    std::string finalUrl; // where the body came from, after redirects
};

// The modules' entry points (C names, so dlsym finds them).
extern "C" {
using FetchEntry = void (*)(const FetchRequest* request, FetchReply* reply);
using ProxyUsableEntry = bool (*)(const char* proxy);
using FetchEndEntry = void (*)();
using DetectEntry = void (*)(const char* bytes, std::size_t size, std::string* charset);
}
inline constexpr const char* kFetchModule = "liborvane_cli_fetch.so";
inline constexpr const char* kDetectModule = "liborvane_cli_detect.so";

/// The fetch, loaded on first use. nullopt with `error` set when the module cannot be loaded.
std::optional<FetchReply> Fetch(const FetchRequest& request, std::string& error);
/// Whether the proxy address can be used ("host", "host:port", "http://host[:port]"); nullopt when
/// the module cannot be loaded.
std::optional<bool> ProxyUsable(const std::string& proxy, std::string& error);
/// Ends what the fetch set up (its application object), if it was loaded.
void EndFetching();

/// ICU's detector, loaded on first use (see platform::SystemCodec); empty when unsure or when the
/// module cannot be loaded (that is reported once, on standard error).
std::string DetectCharsetLazily(std::string_view bytes);

} // namespace orvane::cli
