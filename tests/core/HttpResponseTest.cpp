// Where an HTTP/1.x response's body ends: whole responses in every framing, and every way a body can
// end early, each fed at once and one byte at a time (a connection delivers bytes in any pieces).

#include "core/HttpResponse.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

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
    const char* what;
    std::string bytes;
    bool close;       // the connection closes after the bytes
    State state;      // how the response ends
    std::string body; // the page's body when Done
};

} // namespace

TEST(HttpResponseReader, EveryFramingEndsWhereItSaysAndNowhereElse) {
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const Case cases[] = {
        {"length", ok + "Content-Length: 5\r\n\r\nhello", false, State::Done, "hello"},
        {"length, header in any case and spacing", ok + "content-LENGTH:   5  \r\n\r\nhello", false,
         State::Done, "hello"},
        {"length short at the close", ok + "Content-Length: 6\r\n\r\nhello", true, State::Failed, ""},
        {"length short, still open", ok + "Content-Length: 6\r\n\r\nhello", false, State::Body, ""},
        {"contradictory lengths", ok + "Content-Length: 5\r\nContent-Length: 6\r\n\r\nhello", false,
         State::Failed, ""},
        {"repeated equal lengths", ok + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nhello", false,
         State::Done, "hello"},
        {"unreadable length", ok + "Content-Length: 5x\r\n\r\nhello", false, State::Failed, ""},
        {"chunked", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6;ext=1\r\n world\r\n0\r\n\r\n",
         false, State::Done, "hello world"},
        {"chunked with a trailer",
         ok + "Transfer-Encoding: gzip, Chunked\r\n\r\nA\r\n0123456789\r\n0\r\nX-Sum: 1\r\n\r\n", false,
         State::Done, "0123456789"},
        {"chunked cut between chunks", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", true,
         State::Failed, ""},
        {"chunked cut inside a chunk", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhel", true, State::Failed,
         ""},
        {"chunked cut in the trailer", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n", true,
         State::Failed, ""},
        {"chunk without its line end", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhelloX\r\n0\r\n\r\n",
         false, State::Failed, ""},
        {"chunk size not hexadecimal", ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\n", false, State::Failed,
         ""},
        {"chunk size overflowing", ok + "Transfer-Encoding: chunked\r\n\r\nffffffffffffffffff\r\n", false,
         State::Failed, ""},
        {"until the close", ok + "\r\nall of it", true, State::Done, "all of it"},
        {"until the close, not yet closed", ok + "\r\nall of it", false, State::Body, ""},
        {"other coding: until the close", ok + "Transfer-Encoding: gzip\r\n\r\nraw", true, State::Done,
         "raw"},
        {"interim responses first",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </x>\r\n\r\n" + ok +
             "Content-Length: 2\r\n\r\nok",
         false, State::Done, "ok"},
        {"only an interim response", "HTTP/1.1 103 Early Hints\r\n\r\n", true, State::Failed, ""},
        {"switching protocols", "HTTP/1.1 101 Switching Protocols\r\n\r\n", false, State::Failed, ""},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", false, State::Done, ""},
        {"not modified with a length", "HTTP/1.1 304 Not Modified\r\nContent-Length: 10\r\n\r\n", false,
         State::Done, ""},
        {"bare LF line ends", "HTTP/1.0 200 OK\nContent-Length: 2\n\nok", false, State::Done, "ok"},
        {"no reason phrase", "HTTP/1.1 200\r\nContent-Length: 2\r\n\r\nok", false, State::Done, "ok"},
        {"folded header", ok + "X-A: 1\r\n  2\r\nContent-Length: 2\r\n\r\nok", false, State::Done, "ok"},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n", false, State::Failed, ""},
        {"status of two digits", "HTTP/1.1 20 OK\r\n\r\n", false, State::Failed, ""},
        {"head cut", ok + "Content-Len", true, State::Failed, ""},
        {"nothing", "", true, State::Failed, ""},
        {"page over the limit", ok + "Content-Length: 1001\r\n\r\n", false, State::Failed, ""},
        {"page at the limit", ok + "Content-Length: 1000\r\n\r\n" + std::string(1000, 'x'), false,
         State::Done, std::string(1000, 'x')},
        {"chunked page over the limit",
         ok + "Transfer-Encoding: chunked\r\n\r\n3e9\r\n" + std::string(1001, 'x'), false, State::Failed, ""},
        {"redirect body over the limit is dropped",
         "HTTP/1.1 302 Found\r\nContent-Length: 2000\r\n\r\n" + std::string(2000, 'x'), false, State::Done,
         ""},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
            SCOPED_TRACE(std::string(c.what) + ", pieces of " + std::to_string(piece));
            const Read r = Feed(c.bytes, piece, c.close);
            EXPECT_EQ(r.state, c.state);
            if (c.state == State::Done) {
                EXPECT_EQ(r.body, c.body);
            }
        }
    }
}

TEST(HttpResponseReader, KeepAliveAndTheBytesOfTheNextResponse) {
    const std::string next = "HTTP/1.1 200 OK\r\n";
    // The bytes after a response's end are left for the next one.
    const std::string first = "HTTP/1.1 301 Moved\r\nLocation: /x\r\nContent-Length: 3\r\n\r\nabc";
    const Read r = Feed(first + next, 0, false);
    EXPECT_EQ(r.state, State::Done);
    EXPECT_EQ(r.status, 301);
    EXPECT_EQ(r.consumed, first.size());
    EXPECT_TRUE(r.keepAlive);

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
