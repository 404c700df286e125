#pragma once
// One web page fetched synchronously over HTTP or HTTPS, directly or through an HTTP proxy, with
// the numbered transfer states of core/TransferStates.h reported while it runs.
//
// The caller waits in a local event loop that leaves user input queued, so windows repaint but
// take no clicks or keys until the fetch ends. Nothing is printed.

#include <QByteArray>
#include <QNetworkProxy>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace orvane::platform {

struct HttpFetchResult {
    enum class Outcome {
        Ok,      // the body is complete
        Failed,  // the transfer failed and reported the error state (11) as its last state
        Invalid, // the request cannot be made (URL or proxy address unusable); no state reported
    };
    Outcome outcome = Outcome::Invalid;
    QByteArray body; // the response body exactly as received; empty unless Ok
};

class HttpFetch {
public:
    /// Receives the state numbers, in the order of the state table, as the transfer reaches them:
    /// 1..10 and 12 on success; on failure the states reached so far, then 11 once and nothing after.
    using StateCallback = std::function<void(int state)>;

    /// Larger bodies are refused, so a hostile server cannot exhaust memory.
    static constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;
    /// A transfer that makes no progress for this long fails.
    static constexpr std::chrono::milliseconds kDefaultStallTimeout{60'000};

    /// Fetches `url` (http or https with a host). With `useProxy` the request goes through the HTTP
    /// proxy `proxyAddress` (see ParseProxyAddress); without it the address is ignored and the
    /// connection is direct whatever proxy the environment names. Redirects are followed, never
    /// from https to http. A status of 400 or more, a stall, a body over kMaxBodyBytes or any
    /// network error fails the transfer. Not re-entrant: a call made while a fetch runs is Invalid.
    static HttpFetchResult Fetch(const QString& url, bool useProxy, const QString& proxyAddress,
                                 const StateCallback& onState);

    /// "host", "host:port" or "http://host[:port][/]", spaces around ignored; port 80 when none is
    /// given. nullopt when empty or unusable.
    static std::optional<QNetworkProxy> ParseProxyAddress(const QString& address);

    /// Test hook: the stall time-out of later fetches; zero or less restores the default.
    static void SetStallTimeoutForTest(std::chrono::milliseconds timeout);
};

} // namespace orvane::platform
