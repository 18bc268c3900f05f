#pragma once

namespace pirela {

// Locks the helper in: from now on the kernel kills the whole process (SIGSYS) on any system
// call but those a decode needs on descriptors it already holds (reading by position, the
// socket's messages, memory, memory files, threads of the codecs, the clock). Opening files,
// sockets, starting programs and the like end the helper. False when the filter could not be
// installed: the helper then must not decode anything.
bool InstallSyscallFilter();

} // namespace pirela
