// Where an HTTP/1.x response's body ends: whole responses in every framing, and every way a body can
// end early, each fed at once and one byte at a time (a connection delivers bytes in any pieces).

#include "core/HttpResponse.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

using orvane::HttpResponseReader;
using State = HttpResponseReader::State;

namespace {

constexpr std::size_t kMax = 1000;

struct Read {
    State state;
    int status;
    std::string body;
    bool keepAlive;
    std::size_t consumed;
};

// Feeds `bytes` in pieces of `piece` bytes (0: at once), then the close when `close` is set.
Read Feed(std::string_view bytes, std::size_t piece, bool close) {
    HttpResponseReader reader(kMax);
    std::size_t consumed = 0;
    for (std::size_t at = 0;
         at < bytes.size() && reader.state() != State::Done && reader.state() != State::Failed;) {
        const std::size_t n = piece == 0 ? bytes.size() - at : std::min(piece, bytes.size() - at);
        consumed += reader.Feed(bytes.substr(at, n));
        at += n;
    }
    if (close)
        reader.Closed();
    return {reader.state(), reader.Status(), reader.Body(), reader.KeepAlive(), consumed};
}

struct Case {
    std::string bytes;
    bool close;            // the connection closes after the bytes
    State state;           // how the response ends
    std::string body = {}; // the page's body when Done
};

} // namespace

TEST(HttpResponseReader, EveryFramingEndsWhereItSaysAndNowhereElse) {
    const std::string ok = "HTTP/1.1 200 OK\r\n", chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const State done = State::Done, failed = State::Failed, open = State::Body;
    const Case cases[] = {
        {ok + "Content-Length: 5\r\n\r\nhello", false, done, "hello"},
        {ok + "content-LENGTH:   5  \r\n\r\nhello", false, done, "hello"},
        {ok + "Content-Length: 6\r\n\r\nhello", true, failed},
        {ok + "Content-Length: 6\r\n\r\nhello", false, open},
        {ok + "Content-Length: 5\r\nContent-Length: 6\r\n\r\nhello", false, failed},
        {ok + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nhello", false, done, "hello"},
        {ok + "Content-Length: 5x\r\n\r\nhello", false, failed},
        {chunked + "5\r\nhello\r\n6;ext=1\r\n world\r\n0\r\n\r\n", false, done, "hello world"},
        {ok + "Transfer-Encoding: gzip, Chunked\r\n\r\nA\r\n0123456789\r\n0\r\nX-Sum: 1\r\n\r\n", false, done,
         "0123456789"},
        // Chunked, cut between chunks, inside a chunk, in the trailer; broken framing.
        {chunked + "5\r\nhello\r\n", true, failed},
        {chunked + "5\r\nhel", true, failed},
        {chunked + "5\r\nhello\r\n0\r\n", true, failed},
        {chunked + "5\r\nhelloX\r\n0\r\n\r\n", false, failed},
        {chunked + "zz\r\n", false, failed},
        {chunked + "ffffffffffffffffff\r\n", false, failed},
        // Until the close: without a length, or in another coding.
        {ok + "\r\nall of it", true, done, "all of it"},
        {ok + "\r\nall of it", false, open},
        {ok + "Transfer-Encoding: gzip\r\n\r\nraw", true, done, "raw"},
        // Interim responses come first and never alone; some statuses have no body.
        {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </x>\r\n\r\n" + ok +
             "Content-Length: 2\r\n\r\nok",
         false, done, "ok"},
        {"HTTP/1.1 103 Early Hints\r\n\r\n", true, failed},
        {"HTTP/1.1 101 Switching Protocols\r\n\r\n", false, failed},
        {"HTTP/1.1 204 No Content\r\n\r\n", false, done},
        {"HTTP/1.1 304 Not Modified\r\nContent-Length: 10\r\n\r\n", false, done},
        // The head: bare LF line ends, no reason phrase, a folded header, not HTTP, cut short.
        {"HTTP/1.0 200 OK\nContent-Length: 2\n\nok", false, done, "ok"},
        {"HTTP/1.1 200\r\nContent-Length: 2\r\n\r\nok", false, done, "ok"},
        {ok + "X-A: 1\r\n  2\r\nContent-Length: 2\r\n\r\nok", false, done, "ok"},
        {"SSH-2.0-OpenSSH\r\n\r\n", false, failed},
        {"HTTP/1.1 20 OK\r\n\r\n", false, failed},
        {ok + "Content-Len", true, failed},
        {"", true, failed},
        // The page limit; a redirect's body over it is dropped.
        {ok + "Content-Length: 1001\r\n\r\n", false, failed},
        {ok + "Content-Length: 1000\r\n\r\n" + std::string(1000, 'x'), false, done, std::string(1000, 'x')},
        {chunked + "3e9\r\n" + std::string(1001, 'x'), false, failed},
        {"HTTP/1.1 302 Found\r\nContent-Length: 2000\r\n\r\n" + std::string(2000, 'x'), false, done},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
            const Read r = Feed(c.bytes, piece, c.close);
            EXPECT_EQ(r.state, c.state) << c.bytes.substr(0, 100) << ", pieces of " << piece;
            EXPECT_EQ(r.state == State::Done ? r.body : "", c.body) << c.bytes.substr(0, 100);
        }
    }
}

TEST(HttpResponseReader, KeepAliveAndTheBytesOfTheNextResponse) {
    // The bytes after a response's end are left for the next one.
    const std::string first = "HTTP/1.1 301 Moved\r\nLocation: /x\r\nContent-Length: 3\r\n\r\nabc";
    const Read r = Feed(first + "HTTP/1.1 200 OK\r\n", 0, false);
    EXPECT_EQ((std::tuple{r.state, r.status, r.consumed, r.keepAlive}),
              (std::tuple{State::Done, 301, first.size(), true}));
    EXPECT_FALSE(Feed("HTTP/1.1 200 OK\r\nConnection: Upgrade, close\r\nContent-Length: 0\r\n\r\n", 0, false)
                     .keepAlive);
    EXPECT_FALSE(Feed("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", 0, false).keepAlive);
    EXPECT_TRUE(
        Feed("HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 0\r\n\r\n", 0, false).keepAlive);
    // A body that runs to the close leaves no connection to reuse.
    EXPECT_FALSE(Feed("HTTP/1.1 200 OK\r\n\r\nx", 0, true).keepAlive);

    HttpResponseReader reader(kMax);
    reader.Closed();
    EXPECT_TRUE(reader.NothingReceived());
    HttpResponseReader started(kMax);
    started.Feed("H");
    EXPECT_FALSE(started.NothingReceived());
    started.Feed("TTP/1.1 302 Found\r\nlocation:  /next \r\n\r\n");
    EXPECT_EQ(started.Header("Location"), "/next");
    EXPECT_EQ(started.Header("Missing"), "");
}
