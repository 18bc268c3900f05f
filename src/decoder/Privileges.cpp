#include "decoder/Privileges.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pirela {

namespace {

// The bounding set limits what a later program could gain; only a process holding CAP_SETPCAP
// (Pirela run by root) may shrink it, and without that it is left as it is: no program can be
// started under the filter anyway.
void EmptyBoundingSet() {
    for (int capability = 0; ::prctl(PR_CAPBSET_READ, capability, 0, 0, 0) >= 0; ++capability) {
        ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    }
}

bool DropCapabilities() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    return ::syscall(SYS_capset, &header, none) == 0;
}

} // namespace

bool DropPrivileges() {
    EmptyBoundingSet();
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    return DropCapabilities() && ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
}

} // namespace pirela
