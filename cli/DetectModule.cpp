// The module orvane-cli loads for the first page that declares no character set and does not fit the
// system code page: ICU's detector, as the window uses it.

#include "cli/Modules.h"
#include "platform/SystemCodec.h"

extern "C" __attribute__((visibility("default"))) void
orvane_cli_detect_charset(const char* bytes, std::size_t size, std::string* charset) {
    *charset = orvane::platform::DetectCharsetWithIcu(std::string_view(bytes, size));
}
