#pragma once

#include <functional>

namespace pirela {

class COptionPSheet;
class DocumentHost;

// Runs the options sheet; then, whether the user confirmed or cancelled, the program menu
// follows the list, the settings are written, and the send bar shows the send options.
void ShowOptions(COptionPSheet& sheet, DocumentHost& host, const std::function<void()>& saveSettings);

} // namespace pirela
