#pragma once
// Shared procedures of the windows: reading one value of an INI file, the forbidden-character check
// that prepares the rename window, and the keystroke filter of the name boxes.

#include <string>

#include "core/MessageText.h"

class QLineEdit;
class QWidget;

namespace orvane {

/// The value of `key` in `section` of the INI file at `path`, decoded from the system code page;
/// empty when the file, the section or the key is missing or the value is empty.
std::u16string ReadIniValue(const std::u16string& section, const std::u16string& key,
                            const std::u16string& path);

/// True when `name` holds a forbidden file-name character. Always leaves the converted name in
/// gAfterFileName; when True, the rename window has also been loaded (not shown) with the name and
/// its conversion.
bool CheckFileName(const std::u16string& name);

/// Which message the keystroke filter shows.
enum class NameBoxKind { FileName, DirectoryName };

/// Keeps the characters that names may not hold out of `box`: a typed one is discarded with the
/// refusal message; input-method text loses them the same way. Pasted text is not filtered here.
void InstallKeystrokeFilter(QLineEdit* box, NameBoxKind kind);

/// Shows a message that core describes, as a modal box over `parent`.
void ShowMessageText(QWidget* parent, const MessageText& message);

} // namespace orvane
