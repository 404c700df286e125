#include "core/HttpResponse.h"

#include <algorithm>
#include <charconv>

namespace orvane {

namespace {

// Far more than any real head or chunk line; a peer that sends more is not a web server.
constexpr std::size_t kMaxHeadBytes = std::size_t{64} * 1024;
constexpr std::size_t kMaxLineBytes = std::size_t{8} * 1024;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view TrimSpace(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Whether the comma-separated list `value` holds `token`.
bool HasToken(std::string_view value, std::string_view token) {
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        if (EqualsIgnoringCase(TrimSpace(value.substr(0, comma)), token))
            return true;
        if (comma == std::string_view::npos)
            break;
        value.remove_prefix(comma + 1);
    }
    return false;
}

std::string_view LastToken(std::string_view value) {
    const std::size_t comma = value.rfind(',');
    return TrimSpace(comma == std::string_view::npos ? value : value.substr(comma + 1));
}

bool ParseDecimal(std::string_view text, unsigned long long& out) {
    text = TrimSpace(text);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::size_t HttpResponseReader::Feed(std::string_view bytes) {
    const std::size_t size = bytes.size();
    if (!bytes.empty())
        received_ = true;
    while (!bytes.empty() && (state_ == State::Head || state_ == State::Body)) {
        if (state_ == State::Head ? !ReadHead(bytes) : !ReadBody(bytes))
            Fail();
    }
    return size - bytes.size();
}

void HttpResponseReader::Closed() {
    if (state_ == State::Body && framing_ == Framing::UntilClose)
        state_ = State::Done;
    else if (state_ != State::Done)
        Fail();
}

std::string_view HttpResponseReader::Header(std::string_view name) const {
    for (const auto& [key, value] : headers_)
        if (EqualsIgnoringCase(key, name))
            return value;
    return {};
}

// Takes bytes up to and including the next LF into `line` (without CR LF); false while the line
// has not ended yet, or when it grows past the limit (then the response has failed).
bool HttpResponseReader::TakeLine(std::string_view& bytes, std::string& line) {
    const std::size_t lf = bytes.find('\n');
    const std::size_t take = lf == std::string_view::npos ? bytes.size() : lf + 1;
    line_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (line_.size() > kMaxLineBytes) {
        Fail();
        return false;
    }
    if (lf == std::string_view::npos)
        return false;
    line_.pop_back();
    if (!line_.empty() && line_.back() == '\r')
        line_.pop_back();
    line = std::move(line_);
    line_.clear();
    return true;
}

bool HttpResponseReader::ReadHead(std::string_view& bytes) {
    std::string line;
    const std::size_t before = bytes.size();
    const bool ended = TakeLine(bytes, line);
    headBytes_ += before - bytes.size();
    if (state_ == State::Failed || headBytes_ > kMaxHeadBytes)
        return false;
    if (!ended)
        return true;
    if (status_ == 0) {
        // "HTTP/1.x 200 OK": the reason phrase may be missing.
        if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0 || line[8] != ' ' || line[7] < '0' ||
            line[7] > '9')
            return false;
        minorVersion_ = line[7] - '0';
        const std::string_view code = std::string_view(line).substr(9, 3);
        if (!std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            (line.size() > 12 && line[12] != ' '))
            return false;
        status_ = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
        return status_ >= 100;
    }
    if (!line.empty()) {
        if (line.front() == ' ' || line.front() == '\t') { // an old folded continuation line
            if (headers_.empty())
                return false;
            headers_.back().second += ' ';
            headers_.back().second += TrimSpace(line);
            return true;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            return false;
        headers_.emplace_back(TrimSpace(std::string_view(line).substr(0, colon)),
                              TrimSpace(std::string_view(line).substr(colon + 1)));
        return true;
    }
    // The head has ended. An interim response (100 Continue, 103 Early Hints) comes before the real one.
    if (status_ < 200 && status_ != 101) {
        status_ = 0;
        headers_.clear();
        headBytes_ = 0;
        return true;
    }
    return status_ != 101 && StartBody();
}

bool HttpResponseReader::StartBody() {
    const std::string_view connection = Header("Connection");
    keepAlive_ = minorVersion_ >= 1 ? !HasToken(connection, "close") : HasToken(connection, "keep-alive");
    state_ = State::Body;
    if (status_ == 204 || status_ == 304) {
        framing_ = Framing::None;
        state_ = State::Done;
        return true;
    }
    const std::string_view coding = Header("Transfer-Encoding");
    if (!coding.empty()) {
        if (EqualsIgnoringCase(LastToken(coding), "chunked")) {
            framing_ = Framing::Chunked;
            return true;
        }
        framing_ = Framing::UntilClose;
        keepAlive_ = false;
        return true;
    }
    bool hasLength = false;
    for (const auto& [key, value] : headers_) {
        if (!EqualsIgnoringCase(key, "Content-Length"))
            continue;
        unsigned long long length = 0;
        if (!ParseDecimal(value, length) || (hasLength && length != remaining_))
            return false; // unreadable or contradictory lengths: the framing cannot be trusted
        hasLength = true;
        remaining_ = length;
    }
    if (hasLength) {
        framing_ = Framing::Length;
        if (status_ / 100 == 2 && remaining_ > maxBody_)
            return false;
        if (remaining_ == 0)
            state_ = State::Done;
        return true;
    }
    framing_ = Framing::UntilClose;
    keepAlive_ = false;
    return true;
}

// Keeps the body of a page; the bodies of other responses are not needed.
bool HttpResponseReader::Keep(std::string_view data) {
    if (status_ / 100 != 2)
        return true;
    if (body_.size() + data.size() > maxBody_)
        return false;
    body_.append(data);
    return true;
}

// Takes up to the `remaining_` bytes of a counted stretch (a Content-Length body or one chunk).
bool HttpResponseReader::TakeCounted(std::string_view& bytes) {
    const std::size_t take = static_cast<std::size_t>(std::min<unsigned long long>(remaining_, bytes.size()));
    if (!Keep(bytes.substr(0, take)))
        return false;
    bytes.remove_prefix(take);
    remaining_ -= take;
    return true;
}

bool HttpResponseReader::ReadBody(std::string_view& bytes) {
    switch (framing_) {
    case Framing::UntilClose: {
        const bool kept = Keep(bytes);
        bytes = {};
        return kept;
    }
    case Framing::Length:
        if (!TakeCounted(bytes))
            return false;
        if (remaining_ == 0)
            state_ = State::Done;
        return true;
    case Framing::Chunked:
        return ReadChunked(bytes);
    case Framing::None:
        break;
    }
    return false;
}

bool HttpResponseReader::ReadChunked(std::string_view& bytes) {
    std::string line;
    switch (chunkStep_) {
    case ChunkStep::Size: {
        if (!TakeLine(bytes, line))
            return state_ != State::Failed;
        // "1a2b;extension": the size in hexadecimal, extensions ignored.
        std::string_view size = TrimSpace(std::string_view(line).substr(0, line.find(';')));
        if (size.empty() || size.size() > 15)
            return false;
        const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), remaining_, 16);
        if (error != std::errc() || end != size.data() + size.size())
            return false;
        chunkStep_ = remaining_ == 0 ? ChunkStep::Trailer : ChunkStep::Data;
        return true;
    }
    case ChunkStep::Data:
        if (!TakeCounted(bytes))
            return false;
        if (remaining_ == 0)
            chunkStep_ = ChunkStep::DataEnd;
        return true;
    case ChunkStep::DataEnd:
        if (!TakeLine(bytes, line))
            return state_ != State::Failed;
        if (!line.empty())
            return false;
        chunkStep_ = ChunkStep::Size;
        return true;
    case ChunkStep::Trailer:
        if (!TakeLine(bytes, line))
            return state_ != State::Failed;
        if (line.empty()) // the end of the trailer, and of the body
            state_ = State::Done;
        return true;
    }
    return false;
}

} // namespace orvane
