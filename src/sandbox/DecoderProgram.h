#pragma once

#include <string>

namespace pirela {

// Where the decoder helper `pirela-decoder` is: beside the running program (a build folder, or
// a copy unpacked anywhere), else in the installation's `libexec/pirela/` beside its `bin/`.
// The first of the two that is an executable file; the first when neither is (starting it then
// fails, and the formats it decodes show as files that cannot be decoded).
std::string FindDecoderProgram();

} // namespace pirela
