#pragma once

namespace pirela::res {

// Whether the command may act while file work runs: it changes neither a file nor which image
// is current (zoom, scrolling, turning the picture, the clipboard, the bars, help). Every other
// command waits for the work to end, so that no key meant for one photo acts on another.
bool ActsDuringFileWork(int command);

// Whether the command acts again while its key is held down: paging and the viewing commands.
// A command that changes files acts once a press, so that a held 3 never sends photos the user
// has not seen.
bool RepeatsWhenHeld(int command);

} // namespace pirela::res
