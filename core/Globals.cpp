#include "core/Globals.h"

#include "core/Settings.h"

#include <type_traits>
#include <variant>

namespace orvane {

void ResetGlobals() {
    gLinks.Clear();
    gCancelRequested = false;
    for (const SettingRow& row : kSettings) // the settings' variables: False, 0 or empty
        std::visit(
            [](auto held) {
                if constexpr (std::is_pointer_v<decltype(held)>)
                    *held = {};
            },
            row.variable);
    gAppDir.clear();
    gInputDir.clear();
    gBrowseAddress.clear();
}

} // namespace orvane
