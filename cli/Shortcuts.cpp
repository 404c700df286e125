#include "cli/Shortcuts.h"

namespace orvane::cli {

bool MakeShortcuts(const std::string&, bool, const TextCodec&, Messages& messages) {
    messages.Show(u"--shortcuts は未実装です。");
    return false;
}

} // namespace orvane::cli
