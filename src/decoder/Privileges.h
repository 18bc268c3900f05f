#pragma once

namespace pirela {

// Gives up whatever the helper holds beyond its descriptors: every capability (effective,
// permitted, inheritable, ambient, and the bounding set where it may be changed), and its
// dumpability, so that no process of the user without privileges can trace it or read its
// memory and descriptors through /proc. False when the capabilities could not be dropped: the
// helper then must not decode anything.
bool DropPrivileges();

} // namespace pirela
