#pragma once

namespace orvane {

/// The icon of a message box; every message box has an OK button only.
enum class MessageIcon { None, Critical, Exclamation, Information };

} // namespace orvane
