#pragma once
// The list file and the Internet shortcut files, and the messages of the two output commands.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/LinkTable.h"
#include "core/MessageText.h"
#include "core/Text.h" // StripLineBreaks
#include "core/TextCodec.h"

namespace orvane {

inline constexpr std::string_view kShortcutSection = "InternetShortcut";

/// At most this many failed shortcut names are listed by name in the completion message.
inline constexpr std::size_t kListedFailures = 10;

/// The list file's bytes: one line per live record in table order, the URL alone (`listType` 0) or
/// name "," URL (any other value), each line ending CR LF, in the system code page.
std::string BuildListFileBytes(const LinkTable& links, std::int16_t listType, const TextCodec& codec);

/// Writes the list file atomically; false when it could not be written (the old file then keeps
/// its content).
bool WriteListFile(const std::filesystem::path& path, const LinkTable& links, std::int16_t listType,
                   const TextCodec& codec);

/// The one line of a shortcut's section: "URL=" and the URL, in the system code page.
std::string BuildShortcutLine(std::u16string_view url, const TextCodec& codec);

/// Writes the shortcut's section to `path`; every byte of an existing file outside the section stays.
/// False on failure; a symbolic link at `path` is a failure, and nothing is then read or written.
bool WriteShortcutFile(const std::filesystem::path& path, std::u16string_view url, const TextCodec& codec);

/// The message at the end of the shortcut loop. `failed` holds the file names that could not be
/// written; with any, the message lists them and warns instead of confirming, and says that nothing
/// was created when `written` (the files written) is 0.
MessageText ShortcutCompletionMessage(std::u16string_view directory, std::span<const std::u16string> failed,
                                      std::size_t written);

/// Refusals of the two output commands when the list is empty, and the list file's completion.
MessageText EmptyListForListFileMessage();
MessageText EmptyListForShortcutsMessage();
MessageText ListFileDoneMessage();

} // namespace orvane
