#pragma once

#include "settings/AppSettings.h"

#include <array>
#include <string>

namespace pirela {

class Prompter;

using DestinationRows = std::array<std::string, kDestinationCount>;

// Whether a destination typed by the user may be kept: empty (the destination is not set), or
// an absolute path of a folder we may enter, without a line break (the settings file could not
// keep it). A relative path is refused: it would resolve
// against whatever folder Pirela happened to be started from, so files would land elsewhere
// from one run to the next.
bool IsAcceptableDestination(const std::string& folder);

// Stores every acceptable row at once at its place in destinations, and tells the user about
// each other row, one message per row in row order; such rows are not stored. True when every
// row was acceptable.
bool StoreAcceptableDestinations(const DestinationRows& rows, DestinationRows& destinations,
                                 Prompter& prompter);

} // namespace pirela
