#pragma once
// Reads one HTTP/1.x response from the bytes of a connection as they arrive, and tells whether its
// body ended where its framing says it ends: at its Content-Length, at the last chunk, or, for a
// body without either, when the connection closes. A body that ends anywhere else is a failure.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

class HttpResponseReader {
public:
    enum class State { Head, Body, Done, Failed };

    /// A 2xx body larger than `maxBody` bytes fails the response; other bodies are read and dropped.
    explicit HttpResponseReader(std::size_t maxBody) : maxBody_(maxBody) {}

    /// Takes the next bytes of the connection; returns how many belong to this response (the rest
    /// would begin the next one).
    std::size_t Feed(std::string_view bytes);
    /// The connection closed: a body that runs to the close ends here, anything unfinished fails.
    void Closed();

    State state() const { return state_; }
    /// True when the connection closed before a single byte of the response came.
    bool NothingReceived() const { return !received_; }
    /// The final status (interim 1xx responses are skipped); 0 before the status line.
    int Status() const { return status_; }
    /// The first value of a header, by its name in any case; empty when missing.
    std::string_view Header(std::string_view name) const;
    /// The body of a 2xx response, any transfer coding undone.
    std::string& Body() { return body_; }
    /// Whether the connection can carry another request once this response is done.
    bool KeepAlive() const { return keepAlive_; }

private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkStep { Size, Data, DataEnd, Trailer };

    bool ReadHead(std::string_view& bytes);
    bool StartBody();
    bool ReadBody(std::string_view& bytes);
    bool ReadChunked(std::string_view& bytes);
    bool TakeLine(std::string_view& bytes, std::string& line);
    bool Keep(std::string_view data);
    bool TakeCounted(std::string_view& bytes);
    void Fail() { state_ = State::Failed; }

    std::size_t maxBody_;
    State state_ = State::Head;
    bool received_ = false;
    std::string line_; // a line not yet ended
    std::size_t headBytes_ = 0;
    int status_ = 0;
    int minorVersion_ = 1;
    std::vector<std::pair<std::string, std::string>> headers_;
    Framing framing_ = Framing::None;
    ChunkStep chunkStep_ = ChunkStep::Size;
    unsigned long long remaining_ = 0;
    bool keepAlive_ = false;
    std::string body_;
};

} // namespace orvane
