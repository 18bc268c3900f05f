#pragma once

namespace pirela {

// Only the test build of the helper (pirela-decoder-hooks, never installed) has hooks: a file
// that begins with "PIRELA-TEST-HOOK:" and a name makes it misbehave as the name says (crash,
// hang, allocate past its limit, lie about sizes, open a file or a socket, reach beyond its
// descriptors in any of the ways the filter forbids), so that tests can check that Pirela
// survives each and that the filter holds. True when the hook answered.
#ifdef PIRELA_DECODER_TEST_HOOKS
bool RunTestHook(int file, int socket);
#else
inline bool RunTestHook(int, int) {
    return false;
}
#endif

} // namespace pirela
