// The module orvane-cli loads for its first web address: the window's fetch (platform/HttpFetch) on
// an application object of its own, which the event loop of a fetch needs.

#include "cli/Modules.h"
#include "platform/HttpFetch.h"

#include <QCoreApplication>

#include <memory>

namespace {

std::unique_ptr<QCoreApplication> gApplication;

void EnsureApplication() {
    if (gApplication || QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "orvane-cli";
    static char* argv[] = {name, nullptr};
    gApplication = std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void orvane_cli_fetch(const orvane::cli::FetchRequest* request,
                                                             orvane::cli::FetchReply* reply) {
    using orvane::cli::FetchReply;
    using orvane::platform::HttpFetch;
    using orvane::platform::HttpFetchResult;
    EnsureApplication();
    const QString address = HttpFetch::TypedAddress(QString::fromUtf8(request->text));
    reply->address = address.isEmpty() ? request->text : address.toStdString();
    if (address.isEmpty()) {
        reply->outcome = FetchReply::Outcome::BadAddress;
        return;
    }
    const HttpFetchResult result =
        HttpFetch::Fetch(address, request->useProxy, QString::fromUtf8(request->proxy), [](int) {});
    switch (result.outcome) {
    case HttpFetchResult::Outcome::Ok:
        reply->outcome = FetchReply::Outcome::Ok;
        reply->body = result.body.toStdString();
        reply->finalUrl = result.finalUrl.toStdString();
        return;
    case HttpFetchResult::Outcome::Failed:
        reply->outcome = FetchReply::Outcome::Failed;
        return;
    case HttpFetchResult::Outcome::Invalid:
        reply->outcome = FetchReply::Outcome::BadAddress;
        return;
    }
}

__attribute__((visibility("default"))) bool orvane_cli_proxy_usable(const char* proxy) {
    return orvane::platform::HttpFetch::ParseProxyAddress(QString::fromUtf8(proxy)).has_value();
}

__attribute__((visibility("default"))) void orvane_cli_fetch_end() {
    gApplication.reset();
}

} // extern "C"
