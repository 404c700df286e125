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
        Ok,      // a 2xx response whose body arrived whole
        Failed,  // the transfer failed and reported the error state (11) as its last state
        Invalid, // the request cannot be made (URL or proxy address unusable); no state reported
    };
    Outcome outcome = Outcome::Invalid;
    QByteArray body;  // the response body as sent, any content coding undone; empty unless Ok
    QString finalUrl; // the address the body came from, after redirects; empty unless Ok
};

class HttpFetch {
public:
    /// Receives the state numbers, in the order of the state table, as the transfer reaches them:
    /// 1..10 and 12 on success; on failure the states reached so far, then 11 once and nothing after.
    using StateCallback = std::function<void(int state)>;

    /// Larger bodies are refused, so a hostile server cannot exhaust memory.
    static constexpr qint64 kMaxBodyBytes = qint64{8} * 1024 * 1024;
    /// Redirects followed before the fetch fails; a loop fails when it reaches this.
    static constexpr int kMaxRedirects = 10;
    /// A transfer that makes no progress for this long fails.
    static constexpr std::chrono::milliseconds kDefaultStallTimeout{60'000};
    /// A transfer that has not ended this long after it started fails, however steadily it drips.
    static constexpr std::chrono::milliseconds kDefaultTotalTimeout{120'000};

    /// Fetches `url` (see TypedAddress). With `useProxy` the request goes through the HTTP proxy
    /// `proxyAddress` (see ParseProxyAddress); without it the address is ignored and the connection
    /// is direct whatever proxy the environment names. Up to kMaxRedirects redirects are followed,
    /// never from https to http. Only a final 2xx status gives a page; any other final status, a
    /// stall, the total time limit, a body that ends early (short of its length, a missing last
    /// chunk, a compressed stream cut off), a body over kMaxBodyBytes or any network error fails
    /// the transfer. Not re-entrant: a call made while a fetch runs is Invalid.
    static HttpFetchResult Fetch(const QString& url, bool useProxy, const QString& proxyAddress,
                                 const StateCallback& onState);

    /// The address that typed text stands for: "http://" is put before a host (with an optional
    /// port, path, query) typed without a scheme; text with a scheme must name http or https.
    /// Spaces around the text are ignored. Empty when the text cannot be a web address.
    static QString TypedAddress(const QString& text);

    /// "host", "host:port" or "http://host[:port][/]", spaces around ignored; port 80 when none is
    /// given. nullopt when empty or unusable.
    static std::optional<QNetworkProxy> ParseProxyAddress(const QString& address);

    /// Test hook: the stall and total time limits of later fetches; zero or less restores a default.
    static void SetTimeLimitsForTest(std::chrono::milliseconds stall, std::chrono::milliseconds total);
};

} // namespace orvane::platform
