#pragma once
// A message box as core describes it; the windows show it with an OK button.

#include <string>

#include "core/MessageIcon.h"

namespace orvane {

struct MessageText {
    std::u16string text;
    std::u16string title;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const MessageText&) const = default;
};

} // namespace orvane
