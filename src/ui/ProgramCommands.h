#pragma once

class QWidget;

namespace pirela {

class CommandTable;
class CPirelaDoc;
class ProgramStarter;
struct AppSettings;

// The commands that hand the current image to an external program: the eight registered
// programs (257 ... 264) and "参照(&B)..." (113), each enabled while an image is current.
void RegisterProgramCommands(CommandTable& commands, CPirelaDoc& doc, AppSettings& settings,
                             ProgramStarter& starter, QWidget* owner);

} // namespace pirela
