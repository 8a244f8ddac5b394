#pragma once
// A test hook in the file layer: the Nth write, flush or rename of a file, counted from the
// moment the hook is armed, fails as on a full disk, or ends the process on the spot as a
// kill would (for a test that runs the command in a forked child and looks at the files
// afterwards).
//
// Every write, flush and rename that the host makes of a file goes through Strikes() first:
// drawings (temporary file, back-up), replaced text files, profile files and file copies.
// Disarmed (always, outside tests) it costs one relaxed atomic load.
//
//     vkwin::faults::Arm(vkwin::faults::KillAt(vkwin::faults::Op::Rename, 2).Only("Roomlist"));
//     ... the command ...           // the second rename ends the process with kKilledExitCode
//     vkwin::faults::Disarm();
//
// Count() tells how many operations of a kind went by since Arm (Counting() strikes none), so
// a test can first count what a command does and then fail each operation in turn.
#include <atomic>
#include <string>
#include <utility>

namespace vkwin::faults {

enum class Op { Write, Flush, Rename };
enum class Effect {
    DiskFull,  // this operation and, with fromThenOn, every later one of its kind fails (ENOSPC)
    Kill,      // _exit(kKilledExitCode) just before the operation
};
constexpr int kKilledExitCode = 86;

struct Fault {
    Op op = Op::Write;
    int nth = 0;                // 1 for the first operation; 0 strikes nothing, only counts
    Effect effect = Effect::DiskFull;
    bool fromThenOn = false;    // DiskFull: the disk stays full
    std::string pathPart;       // only paths holding this text count (all when empty)

    Fault& Only(std::string part) { pathPart = std::move(part); return *this; }
};
inline Fault Counting() { return Fault{}; }
inline Fault KillAt(Op op, int nth) { return Fault{op, nth, Effect::Kill, false, {}}; }
inline Fault FailAt(Op op, int nth) { return Fault{op, nth, Effect::DiskFull, false, {}}; }
inline Fault DiskFullFrom(Op op, int nth) { return Fault{op, nth, Effect::DiskFull, true, {}}; }

void Arm(const Fault& fault);
void Disarm();
int Count(Op op);               // matching operations since Arm

namespace detail {
extern std::atomic<bool> g_armed;
bool Strike(Op op, const std::string& hostPath);
}  // namespace detail

// True (errno set to ENOSPC) when the operation on hostPath must fail; never returns when it
// must be killed. For the file layer.
inline bool Strikes(Op op, const std::string& hostPath)
{
    return detail::g_armed.load(std::memory_order_relaxed) && detail::Strike(op, hostPath);
}

}  // namespace vkwin::faults
