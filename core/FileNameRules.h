#pragma once
// Rules that turn a link name into a usable shortcut file name: the ten forbidden characters and
// their full-width counterparts, the reserved device names, and the keystroke filter of the name
// and directory boxes.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "core/MessageText.h"

namespace orvane {

struct ForbiddenChar {
    char16_t ch;
    char16_t fullWidth;
};

/// In the order the shortcut loop tests them and the refusal message lists them.
inline constexpr std::array<ForbiddenChar, 10> kForbiddenChars{{
    {u'\\', u'\uFFE5'}, // full-width yen sign, as Japanese systems show the backslash
    {u'/', u'\uFF0F'},
    {u':', u'\uFF1A'},
    {u',', u'\u3001'}, // ideographic comma
    {u';', u'\uFF1B'},
    {u'*', u'\uFF0A'},
    {u'?', u'\uFF1F'},
    {u'<', u'\uFF1C'},
    {u'>', u'\uFF1E'},
    {u'|', u'\uFF5C'},
}};

inline constexpr std::array<std::u16string_view, 11> kReservedDeviceNames{
    u"CON", u"AUX", u"COM1", u"COM2", u"COM3", u"COM4", u"LPT1", u"LPT2", u"LPT3", u"PRN", u"NUL"};

/// Control characters (U+0000-U+001F, U+007F) and the bidirectional controls (U+202A-U+202E,
/// U+2066-U+2069) removed, and a leading "." turned into "．" (U+FF0E) so the file is not hidden. An
/// empty result means nothing usable was left: the user is asked for a name.
std::u16string RemoveUnsafeNameChars(std::u16string_view name);

/// The name shortened at a character boundary (never inside a surrogate pair) until `name` + `suffix`
/// takes at most `maxBytes` in the file system's encoding (`encodedSize`); unchanged when it fits.
std::u16string FitFileName(std::u16string_view name, std::u16string_view suffix, std::size_t maxBytes,
                           const std::function<std::size_t(std::u16string_view)>& encodedSize);

struct ConvertedName {
    std::u16string converted;
    bool changed = false;
};

/// Every forbidden character replaced by its counterpart, one unit for one; `changed` tells whether
/// there was any.
ConvertedName ConvertForbidden(std::u16string_view name);

/// True when `name` cannot serve as a file name as it stands: it holds a forbidden character, or
/// nothing is left once its unsafe characters are gone. `converted` always receives the name with its
/// unsafe characters removed and its forbidden ones replaced (the rename question's suggestion).
bool CheckFileName(std::u16string_view name, std::u16string& converted);

/// True when the name holds the character of row `row` of kForbiddenChars.
bool HoldsForbiddenChar(std::u16string_view name, std::size_t row);

/// The whole name equals a reserved device name, ASCII case ignored.
bool IsReservedDeviceName(std::u16string_view name);

/// U+0021..U+007E to U+FF01..U+FF5E, letter case kept; everything else unchanged.
std::u16string ToFullWidth(std::u16string_view name);

/// The notice shown before a reserved name is converted to full width.
MessageText ReservedNameMessage(std::u16string_view name);

/// The characters the name boxes refuse while typing: the ten and the double quote.
bool IsRefusedKeystroke(char16_t c);

/// True when a whole name holds a character the keystroke filter refuses (for pasted text).
bool HoldsRefusedChar(std::u16string_view name);

/// Refusal messages of the keystroke filter: file-name box and new-directory box.
MessageText FileNameRefusalMessage();
MessageText DirectoryNameRefusalMessage();

/// The rename window's explanation of why it appeared.
inline constexpr std::u16string_view kBadFileNameText =
    u"以下のﾌｧｲﾙはﾌｧｲﾙ名が不正なため、このままでは保存できません。  新しいﾌｧｲﾙ名を指定して下さい。";

/// The refusal of a blank typed name in the rename window.
MessageText BlankFileNameMessage();

/// The rename window's OK. `typed` is true when the "type a name" choice is selected. Returns the name
/// to use in `name`, or false with the message to show (the window then stays open as it is). A typed
/// name is refused when blank (also once its unsafe characters are gone), or when it holds a
/// character the filter refuses (it may have been pasted); the converted name is taken as it stands
/// unless it is empty.
bool AcceptRenamedName(bool typed, std::u16string_view typedText, std::u16string_view convertedName,
                       std::u16string& name, MessageText& refusal);

} // namespace orvane
