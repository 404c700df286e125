#pragma once
// What the windows would show in message boxes, orvane-cli writes to standard error, in the system
// code page: "orvane-cli: ", the input it concerns and the box's title, each followed by ": ", then
// the text, whose further lines are indented by two spaces. Control characters (but the tab) and the
// bidirectional controls are shown as U+FFFD.

#include <cstdio>
#include <string>
#include <string_view>

#include "core/ConversionHost.h"
#include "core/MessageText.h"
#include "core/TextCodec.h"

namespace orvane::cli {

class Messages {
public:
    Messages(const TextCodec& codec, std::FILE* out) : codec_(codec), out_(out) {}

    /// The input the following messages concern; empty for none.
    void SetInput(std::u16string input) { input_ = std::move(input); }

    void Show(std::u16string_view text, std::u16string_view title = {});
    void Show(const MessageText& message) { Show(message.text, message.title); }

private:
    const TextCodec& codec_;
    std::FILE* out_;
    std::u16string input_;
};

/// The conversion without windows: messages go to Messages, the records to the link table.
class CliConversionHost final : public WindowlessConversionHost {
public:
    explicit CliConversionHost(Messages& messages) : messages_(messages) {}

    void ShowMessage(std::u16string_view text, std::u16string_view title, MessageIcon) override {
        messages_.Show(text, title);
    }

private:
    Messages& messages_;
};

} // namespace orvane::cli
