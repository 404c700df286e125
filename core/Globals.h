#pragma once
// Process-wide state shared by the windows. There is one thread; nothing here is locked.
// Option values are read at each use, so a change made in the options dialog acts at once.
// Each global names who sets it and who resets it; ResetGlobals() puts all of them back, for the
// start-up and for tests.

#include <cstdint>
#include <string>

#include "core/LinkTable.h"

namespace orvane {

// The link list. Appended to by the conversion, edited by the list commands and renamed by the
// shortcut command; emptied by the clear command.
inline LinkTable gLinks;
/// The entries of the list: the records that are not deleted. Derived from the table rather than
/// kept in step by hand; outside a conversion (which appends before it shows) the list view shows
/// exactly these records.
inline std::int16_t gLinkCount() {
    return static_cast<std::int16_t>(gLinks.LiveCount());
}

// Set by the progress window's cancel button, the URL dialog's cancel and a failed transfer;
// tested and reset by the conversion and the fetch.
inline bool gCancelRequested = false;

// Options. Their keys, kinds and first-start values: the table kSettings (core/Settings.h), by which
// the start-up sets them from the settings file and the exit writes them; the options dialog's OK
// sets them too.
inline bool gShowStatus = false;         // the progress window's status line is shown
inline std::int16_t gLinkLevel = 0;      // 0 "a href", 2 the tags read, otherwise "http:"
inline std::int16_t gNameMode = 0;       // 0 tags removed, otherwise alt text / raw text
inline std::int16_t gListType = 0;       // 0 URL only, otherwise name and URL
inline bool gConfirmOverwrite = false;   // ask before a shortcut file is replaced
inline std::int16_t gDblClickAction = 0; // 0 delete, otherwise browse
inline bool gProxyUse = false;           // fetch through gProxyAddress
inline std::u16string gProxyAddress;

// Directories; both end with the platform's separator. gAppDir is set once by the start-up;
// gInputDir by the start-up from the settings and by each file the open dialog chose.
inline std::u16string gAppDir;
inline std::u16string gInputDir; // the open dialog's start, stored like the options

// The address the preview browser opens with: set by the list's double click (and the browser's own
// navigation reads it at opening only). The browser library receives it with its entry call.
inline std::u16string gBrowseAddress;

/// Back to the state before start-up (used by start-up itself and by tests).
void ResetGlobals();

} // namespace orvane
