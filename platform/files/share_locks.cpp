#include "platform/files/share_locks.h"

#include <fcntl.h>

namespace platform {
namespace {

constexpr off_t kShareLockBase = static_cast<off_t>(0x7FFFFFFF00000000LL);
enum ShareByte : off_t { kReading, kWriting, kDeniesRead, kDeniesWrite, kDeniesDelete, kDeleting };

// A lock of `type` on one share byte.
struct flock OnByte(short type, ShareByte byte) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kShareLockBase + byte;
  lock.l_len = 1;
  return lock;
}

bool HeldByOther(int fd, ShareByte byte) {
  struct flock probe = OnByte(F_WRLCK, byte);
  if (fcntl(fd, F_OFD_GETLK, &probe) != 0) return false;
  return probe.l_type != F_UNLCK;
}

bool Announce(int fd, ShareByte byte) {
  struct flock lock = OnByte(F_RDLCK, byte);
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

bool TakeShareLocks(int fd, const ShareRequest& r, bool canAnnounce) {
  if (canAnnounce) {
    const bool announced = (!r.reading || Announce(fd, kReading)) && (!r.writing || Announce(fd, kWriting)) &&
                           (!r.deniesRead || Announce(fd, kDeniesRead)) &&
                           (!r.deniesWrite || Announce(fd, kDeniesWrite)) &&
                           (!r.deniesDelete || Announce(fd, kDeniesDelete));
    if (!announced) return false;
  }
  return !((r.reading && HeldByOther(fd, kDeniesRead)) || (r.writing && HeldByOther(fd, kDeniesWrite)) ||
           (r.deniesRead && HeldByOther(fd, kReading)) || (r.deniesWrite && HeldByOther(fd, kWriting)) ||
           (r.deniesDelete && HeldByOther(fd, kDeleting)));
}

bool MayDelete(int fd) { return Announce(fd, kDeleting) && !HeldByOther(fd, kDeniesDelete); }

}  // namespace platform
