#include "host/win/FileFaults.h"

#include <unistd.h>

#include <cerrno>

namespace vkwin::faults {
namespace {
struct State {
    Fault fault;
    int seen[3] = {0, 0, 0};
};
State& Current()
{
    static State state;
    return state;
}
}  // namespace

namespace detail {
std::atomic<bool> g_armed{false};

bool Strike(Op op, const std::string& hostPath)
{
    State& s = Current();
    if (!s.fault.pathPart.empty() && hostPath.find(s.fault.pathPart) == std::string::npos) return false;
    const int n = ++s.seen[static_cast<int>(op)];
    if (op != s.fault.op || s.fault.nth <= 0 || n < s.fault.nth) return false;
    if (n > s.fault.nth && !(s.fault.fromThenOn && s.fault.effect == Effect::DiskFull)) return false;
    if (s.fault.effect == Effect::Kill) _exit(kKilledExitCode);
    errno = ENOSPC;
    return true;
}
}  // namespace detail

void Arm(const Fault& fault)
{
    Current() = State{fault, {0, 0, 0}};
    detail::g_armed.store(true, std::memory_order_relaxed);
}

void Disarm()
{
    detail::g_armed.store(false, std::memory_order_relaxed);
}

int Count(Op op)
{
    return Current().seen[static_cast<int>(op)];
}

}  // namespace vkwin::faults
