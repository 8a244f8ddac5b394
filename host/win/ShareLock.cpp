// Share modes as open file description (OFD) locks.
//
// Each open of a file says what it does and what it denies by holding SHARED locks on four
// bytes far beyond any real data of the file itself (no lock files):
//
//   slot 0  Reading    the open may read          slot 2  DenyRead   it denies readers
//   slot 1  Writing    the open may write         slot 3  DenyWrite  it denies writers
//
// An open first takes its own slots, then asks F_OFD_GETLK whether any OTHER open file
// description holds a slot that conflicts: writing meets DenyWrite, reading meets DenyRead,
// denying writers meets Writing, denying readers meets Reading. On a conflict it releases
// everything (by closing) and fails with ERROR_SHARING_VIOLATION. Because every open takes
// before it tests, of two racing opens that conflict at least one sees the other (both may
// back off, never both succeed).
//
// Only shared locks are ever taken, so opens never block each other in the kernel; the
// test is F_OFD_GETLK for an exclusive lock, which reports any lock held by another open
// file description and ignores the asker's own. OFD locks belong to the open file
// description, not the process: two opens in one process conflict exactly as two processes
// do, and closing one fd of a process never drops the locks of another open (which
// classic POSIX record locks would). The locks vanish with the last descriptor of the open,
// so a crashed holder leaves nothing behind.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "host/win/HostFile.h"

namespace vkwin::detail {
namespace {

constexpr off_t kSlotBase = off_t(1) << 62;  // beyond any drawing, and no data is ever locked

struct flock SlotLock(short type, off_t start, off_t len) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = len;
    fl.l_pid = 0;  // required by F_OFD_*
    return fl;
}

bool HeldByOthers(int lockFd, off_t start, off_t len) {
    struct flock fl = SlotLock(F_WRLCK, start, len);
    if (fcntl(lockFd, F_OFD_GETLK, &fl) != 0) return true;  // cannot tell: assume the worst
    return fl.l_type != F_UNLCK;
}

}  // namespace

bool TakeSlot(int lockFd, Slot slot) {
    struct flock fl = SlotLock(F_RDLCK, kSlotBase + static_cast<off_t>(slot), 1);
    return fcntl(lockFd, F_OFD_SETLK, &fl) == 0;
}

bool SlotHeldByOthers(int lockFd, Slot slot) {
    return HeldByOthers(lockFd, kSlotBase + static_cast<off_t>(slot), 1);
}

bool AnySlotHeldByOthers(int lockFd) { return HeldByOthers(lockFd, kSlotBase, 4); }

}  // namespace vkwin::detail
