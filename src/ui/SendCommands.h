#pragma once

namespace pirela {

class CommandTable;
class CPirelaDoc;

// The send commands: the eight destinations (keys 1 to 8, the 送る menu, later the send bar)
// and "ほかのフォルダへ", each enabled while an image is shown.
void RegisterSendCommands(CommandTable& commands, CPirelaDoc& doc);

// Taking files back: "元に戻す" (Ctrl+Z) while a send is recorded, and "ごみ箱へ" (Del, the
// toolbar, the view's menu) while an image is shown.
void RegisterTakeBackCommands(CommandTable& commands, CPirelaDoc& doc);

} // namespace pirela
