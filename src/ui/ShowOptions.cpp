#include "ui/ShowOptions.h"

#include "host/DocumentHost.h"
#include "ui/COptionPSheet.h"

namespace pirela {

void ShowOptions(COptionPSheet& sheet, DocumentHost& host, const std::function<void()>& saveSettings) {
    sheet.exec();
    // Apply may have changed the settings before a Cancel, so Cancel writes them too.
    host.RebuildProgramMenu();
    saveSettings();
    host.RefreshSendBar();
}

} // namespace pirela
