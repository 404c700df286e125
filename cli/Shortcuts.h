#pragma once
// --shortcuts: one Internet shortcut per link, through the shortcut command of core, without
// questions.

#include <string>

#include "cli/Messages.h"
#include "core/TextCodec.h"

namespace orvane::cli {

/// Writes the shortcuts of the link table into `directory`. An existing file is kept and reported
/// unless `overwrite`. False when any shortcut could not be written.
bool MakeShortcuts(const std::string& directory, bool overwrite, const TextCodec& codec, Messages& messages);

} // namespace orvane::cli
