#pragma once
// The two output commands — the list file, and one Internet shortcut per entry — run here, without
// windows. What they need of the user (a name, a path, a notice) they ask through OutputHost: the
// save-destination window answers with its dialogs, orvane-cli without questions, tests with a fake.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/LinkTable.h"
#include "core/MessageText.h"
#include "core/TextCodec.h"

namespace orvane {

/// Which command asks for an output file.
enum class OutputKind {
    ListFile, // the list file's path ("*.lst")
    Shortcut, // another path for a shortcut whose file exists already ("*.url")
};

class OutputHost {
public:
    virtual ~OutputHost() = default;

    /// A message with an OK button; returns when it has been closed.
    virtual void ShowMessage(const MessageText& message) = 0;

    /// The rename question for a link name that cannot serve as a file name as it stands: `name` is
    /// the entry's name, `converted` the same with its unsafe characters removed and its forbidden
    /// ones replaced (empty when nothing usable was left). Returns the name to use; an empty answer
    /// keeps the entry's name as it is.
    virtual std::u16string AskFileName(std::u16string_view name, std::u16string_view converted) = 0;

    /// Asks for an output file, starting in `initialDir` with `suggestedPath` (may be empty).
    /// Returns the chosen full path, or nullopt when the user cancelled.
    virtual std::optional<std::u16string> AskOutputFileName(OutputKind kind, std::u16string_view initialDir,
                                                            std::u16string_view suggestedPath) = 0;
};

/// The list command: asks for the list file's path (starting in `directory`) and writes every live
/// entry in the layout `listType` (0: the URL alone, otherwise name "," URL) in the system code page,
/// atomically. Shows the completion or the failure. Returns the path written; nullopt when the user
/// cancelled or the file could not be written (the old file then keeps its content).
std::optional<std::u16string> MakeListFile(const LinkTable& links, std::int16_t listType,
                                           std::u16string_view directory, const TextCodec& codec,
                                           OutputHost& host);

struct ShortcutOptions {
    std::u16string directory;      // the output directory, without a trailing separator except "/"
    bool confirmOverwrite = false; // an existing file brings the path question instead of being replaced
    std::size_t nameMax = 255;     // the longest file name the directory's file system takes
};

struct ShortcutOutcome {
    std::size_t written = 0;
    std::vector<std::u16string> failed; // the file names that could not be written, in table order
    std::size_t skipped = 0;            // entries whose path question was cancelled
};

/// The shortcut command: one "<name>.url" per live entry in `options.directory`. Names are made
/// usable first, in the table itself (so the list and a later list file show what was written):
/// unsafe characters removed, a name with a forbidden character (or nothing left) asked for through
/// AskFileName, a reserved device name noticed and turned full width, a name too long for the file
/// system shortened. Ends with the completion message, which lists the failures.
/// The failure of the list file's write, naming the path; the notice before the path question for a
/// shortcut whose file exists already.
MessageText ListFileFailedMessage(std::u16string_view path);
MessageText DuplicateFileMessage();

ShortcutOutcome MakeShortcutFiles(LinkTable& links, const ShortcutOptions& options, const TextCodec& codec,
                                  OutputHost& host);

} // namespace orvane
