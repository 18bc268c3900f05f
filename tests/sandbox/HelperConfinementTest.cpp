// What a decoder helper holds and may do: only its socket and /dev/null, none of Pirela's
// environment, session, capabilities or dumpability; the filter kills it for any reach beyond
// its descriptors; every helper that ends is reaped at once.
#include "sandbox/DecoderLimits.h"
#include "sandbox/DecoderPool.h"
#include "sandbox/HelperDecode.h"
#include "support/BitmapCompare.h"
#include "support/CameraFixtures.h"
#include "support/ChildProcess.h"
#include "support/HelperProcesses.h"
#include "support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <map>
#include <signal.h>
#include <sys/syscall.h>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr bool kSanitized = test::kAddressSanitizer || test::kThreadSanitizer;

std::string StatusLine(pid_t pid, const std::string& name) {
    const std::string status = test::ReadBytes("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("\n" + name + ":");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = status.find_first_not_of(" \t", at + name.size() + 2);
    return status.substr(start, status.find('\n', start) - start);
}

// Waits until the helper has locked itself in (its filter installed), at most ten seconds.
bool LockedIn(pid_t pid) {
    for (int i = 0; i < 1000 && StatusLine(pid, "Seccomp") != "2"; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    return StatusLine(pid, "Seccomp") == "2";
}

bool HaveCapability(int capability) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    return ::syscall(SYS_capget, &header, data) == 0 &&
           (data[capability / 32].effective & (1u << (capability % 32))) != 0;
}

class HelperConfinementTest : public ::testing::Test {
protected:
    test::TempDir dir_;
};

TEST_F(HelperConfinementTest, AnIdleHelperHoldsOnlyItsSocketAndNothingOfPirelas) {
    ::setenv("PIRELA_NOT_FOR_THE_HELPER", "1", 1);
    auto helper = DecoderProcess::Start(PIRELA_DECODER_PROGRAM);
    ASSERT_NE(helper, nullptr);
    const pid_t pid = helper->Pid();
    ASSERT_TRUE(LockedIn(pid));
    EXPECT_EQ(StatusLine(pid, "NoNewPrivs"), "1");
    for (const std::string set : {"CapInh", "CapPrm", "CapEff", "CapAmb"}) {
        EXPECT_EQ(StatusLine(pid, set), "0000000000000000") << set;
    }
    if (HaveCapability(CAP_SETPCAP)) {
        EXPECT_EQ(StatusLine(pid, "CapBnd"), "0000000000000000");
    }
    EXPECT_NE(::getsid(pid), ::getsid(0));
    EXPECT_EQ(::getpgid(pid), pid);
    // What it holds (read by root, or by a user who may look into a process of theirs).
    const fs::path proc = "/proc/" + std::to_string(pid);
    std::error_code error;
    std::map<int, std::string> held;
    for (const auto& entry : fs::directory_iterator(proc / "fd", error)) {
        held[std::stoi(entry.path().filename())] = fs::read_symlink(entry.path(), error).string();
    }
    if (!held.empty()) {
        EXPECT_EQ(held.size(), 4u);
        EXPECT_EQ(held[0], "/dev/null");
        EXPECT_EQ(held[1], "/dev/null");
        if (!kSanitized) {
            EXPECT_EQ(held[2], "/dev/null");
        }
        EXPECT_TRUE(held[3].starts_with("socket:")) << held[3];
        const std::string environment = test::ReadBytes(proc / "environ");
        EXPECT_EQ(environment.find("PIRELA_NOT_FOR_THE_HELPER"), std::string::npos);
        EXPECT_EQ(environment.find("PATH="), std::string::npos);
        EXPECT_EQ(environment.find("HOME="), std::string::npos);
    }
    // Not dumpable: a process of the same user without capabilities cannot look into it.
    const int looked = test::ExitCodeInChild([&proc] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
        if (::syscall(SYS_capset, &header, none) != 0 ||
            ::open("/proc/self/environ", O_RDONLY) < 0) {
            return test::kChildCannotPrepare;
        }
        return ::open((proc / "environ").c_str(), O_RDONLY) < 0 && errno == EACCES ? 0 : 1;
    });
    EXPECT_EQ(looked, 0);
    if (kHelperAddressSpaceLimited) {
        DecoderPool pool(PIRELA_DECODER_PROGRAM, 1);
        pool.GiveBack(std::move(helper));
        const std::string limits = test::ReadBytes(proc / "limits");
        EXPECT_NE(limits.find(std::to_string(kIdleDecoderAddressSpace)), std::string::npos)
            << limits;
    }
}

TEST_F(HelperConfinementTest, TheFilterKillsAHelperThatReachesBeyondItsDescriptors) {
    std::vector<std::string> hooks{"open",        "socket",      "fcntl-owner",
                                   "fcntl-async", "fcntl-lease", "stat-path"};
    if (!kSanitized) {
        hooks.push_back("write-stdout"); // a sanitizer's build lets its runtime write anywhere
    }
    for (const std::string& hook : hooks) {
        const fs::path marker = dir_ / hook;
        test::WriteBytes(marker, "PIRELA-TEST-HOOK:" + hook + "\n");
        auto helper = DecoderProcess::Start(PIRELA_DECODER_HOOKS_PROGRAM);
        ASSERT_NE(helper, nullptr);
        ASSERT_TRUE(helper->Send(test::Descriptor(marker), DecoderRequest{}));
        DecoderProcess::Answer answer;
        EXPECT_EQ(helper->Receive(answer, std::chrono::steady_clock::now() + 1min, {}),
                  DecoderProcess::Wait::Broken)
            << hook;
        const DecoderProcess::Ending ending = helper->End(10s);
        EXPECT_TRUE(ending.byItself) << hook;
        EXPECT_EQ(ending.signal, SIGSYS) << hook;
    }
}

TEST_F(HelperConfinementTest, KilledHelpersAreReapedAtOnceAndCostNoPhoto) {
    DecoderPool pool(PIRELA_DECODER_HOOKS_PROGRAM, 1);
    const fs::path good = dir_ / "good.webp";
    test::WriteWebp(good, test::PhotoLike(24, 16, 3), true);
    // Killed while it waits for a request.
    auto waiting = pool.Take();
    ASSERT_NE(waiting, nullptr);
    const pid_t idle = waiting->Pid();
    pool.GiveBack(std::move(waiting));
    ::kill(idle, SIGKILL);
    EXPECT_TRUE(test::Reaped(idle));
    EXPECT_NE(DecodeInHelper(test::Descriptor(good), ImageFormat::WebP, {}, pool), nullptr);
    // Killed in the middle of a request: asked again in a fresh helper, the photo decodes.
    const fs::path slow = dir_ / "slow.webp";
    test::WriteBytes(slow, "PIRELA-TEST-HOOK:slow\n");
    HelperFailure failure = HelperFailure::Stopped;
    std::unique_ptr<Bitmap> decoded;
    std::thread decode([&] {
        decoded = DecodeInHelper(test::Descriptor(slow), ImageFormat::WebP, {}, pool, &failure);
    });
    const pid_t busy = test::BusyHelper();
    if (busy > 0) {
        ::kill(busy, SIGKILL);
    }
    decode.join();
    ASSERT_GT(busy, 0);
    EXPECT_TRUE(test::Reaped(busy));
    EXPECT_NE(decoded, nullptr);
    EXPECT_EQ(failure, HelperFailure::None);
}

TEST_F(HelperConfinementTest, OneRequestOfAPoolDecodesAtATime) {
    DecoderPool pool(PIRELA_DECODER_PROGRAM, 0);
    ASSERT_TRUE(pool.TakeTurn(nullptr));
    const std::atomic<bool> stop{true};
    EXPECT_FALSE(pool.TakeTurn(&stop)); // waits until asked to stop
    pool.EndTurn();
    EXPECT_TRUE(pool.TakeTurn(&stop));
    pool.EndTurn();
}

} // namespace
} // namespace pirela
