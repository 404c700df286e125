// The HTTP response reader on hostile bytes. Invariants: whatever the bytes, the reader never reads
// outside them, ends in the same state with the same body however the bytes are split into pieces,
// never keeps more body than its limit, and says Done only for a response whose end it has seen.

#include "core/HttpResponse.h"
#include "fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using orvane::HttpResponseReader;

constexpr std::size_t kMaxBody = 4096;

struct Outcome {
    HttpResponseReader::State state;
    int status;
    std::string body;
    std::size_t consumed;
};

Outcome Read(std::string_view bytes, std::size_t piece, bool close) {
    HttpResponseReader reader(kMaxBody);
    std::size_t consumed = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto state = reader.state();
        if (state == HttpResponseReader::State::Done || state == HttpResponseReader::State::Failed)
            break;
        const std::size_t n = std::min(piece, bytes.size() - at);
        const std::size_t used = reader.Feed(bytes.substr(at, n));
        ORVANE_FUZZ_CHECK(used <= n);
        consumed += used;
        at += n;
    }
    if (close)
        reader.Closed();
    return {reader.state(), reader.Status(), reader.Body(), consumed};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses the piece size and whether the connection closes at the end.
    const std::size_t piece = 1 + (data[0] & 0x3f);
    const bool close = (data[0] & 0x40) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const Outcome whole = Read(bytes, bytes.size() + 1, close);
    const Outcome split = Read(bytes, piece, close);
    const bool same = whole.state == split.state && whole.body == split.body &&
                      whole.status == split.status && whole.consumed == split.consumed;
    if (!same)
        orvane::fuzz::Show("bytes", bytes);
    ORVANE_FUZZ_CHECK(same); // however the bytes arrive
    ORVANE_FUZZ_CHECK(whole.body.size() <= kMaxBody);
    ORVANE_FUZZ_CHECK(whole.consumed <= bytes.size());
    // Done only with a final status (interim ones are skipped, 101 is refused).
    ORVANE_FUZZ_CHECK(whole.state != HttpResponseReader::State::Done ||
                      (whole.status >= 200 && whole.status <= 999));
    return 0;
}
