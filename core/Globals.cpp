#include "core/Globals.h"

namespace orvane {

void ResetGlobals() {
    gLinks.Clear();
    gCancelRequested = false;
    gShowStatus = false;
    gLinkLevel = 0;
    gNameMode = 0;
    gListType = 0;
    gConfirmOverwrite = false;
    gDblClickAction = 0;
    gProxyUse = false;
    gProxyAddress.clear();
    gAppDir.clear();
    gInputDir.clear();
    gBrowseAddress.clear();
}

} // namespace orvane
