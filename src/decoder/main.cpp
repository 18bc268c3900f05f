// pirela-decoder: Pirela's decoder helper. Pirela starts it with a socket as descriptor 3 and
// sends it open image files to decode, one at a time; see DecoderService. Before it reads a
// byte of any file it initialises its libraries, limits its memory and installs its system
// call filter.
#include "decoder/DecoderService.h"
#include "decoder/Privileges.h"
#include "decoder/SharedPixelMemory.h"
#include "decoder/SyscallFilter.h"
#include "sandbox/DecoderLimits.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <libheif/heif.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSocket = 3;

bool IsOurSocket() {
    struct stat status {};
    return ::fstat(kSocket, &status) == 0 && S_ISSOCK(status.st_mode);
}

// Everything a library reads from a file of its own is read here, before the filter.
void PrepareLibraries() {
    // The time zone: libraw turns the dates a camera writes into times with mktime, which
    // reads the zone's file, and without TZ looks at /etc/localtime again at every call. With
    // TZ set (Pirela hands its own on; otherwise the system's zone, named) the C library reads
    // it once, here, and after that only compares the variable.
    ::setenv("TZ", ":/etc/localtime", 0);
    ::tzset();
    // The plain C locale, which lives in the C library itself: no locale file is ever read.
    std::setlocale(LC_ALL, "C");
    // libheif loads its plugins and codecs.
    heif_init(nullptr);
}

// The most a decode may take. Pirela holds a waiting helper to less (it may have done so
// already, as the helper started): the helper never raises that itself.
void LimitAddressSpace() {
    rlimit limit{};
    if (pirela::kHelperAddressSpaceLimited && ::getrlimit(RLIMIT_AS, &limit) == 0) {
        limit.rlim_max = std::min<rlim_t>(limit.rlim_max, pirela::kDecoderAddressSpace);
        limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max);
        ::setrlimit(RLIMIT_AS, &limit);
    }
}

} // namespace

int main() {
    // The helper ends when Pirela closes the socket, also when Pirela dies. (A parent-death
    // signal would not do: it follows the thread that started the helper, and helpers are
    // started on decode workers that end long before the helper.)
    if (!IsOurSocket()) {
        std::fputs("pirela-decoder: only Pirela starts this program\n", stderr);
        return 2;
    }
    ::close_range(kSocket + 1, ~0U, 0);
    PrepareLibraries();
    // One malloc arena for every thread: the C library reads a file of /proc before it shrinks
    // the heap of another arena, which the filter would punish.
    ::mallopt(M_ARENA_MAX, 1);
    LimitAddressSpace();
    pirela::SharedPixelMemory::Install();
    if (!pirela::DropPrivileges()) {
        std::fputs("pirela-decoder: the capabilities cannot be dropped\n", stderr);
        return 3;
    }
    if (!pirela::InstallSyscallFilter()) {
        std::fputs("pirela-decoder: the system call filter cannot be installed\n", stderr);
        return 3;
    }
    pirela::DecoderService(kSocket).Run();
    // No exit handlers: they could need more than the filter allows, and there is nothing to
    // save.
    ::_exit(0);
}
