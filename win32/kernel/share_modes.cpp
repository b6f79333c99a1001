// Share modes kept as open-file-description locks on marker bytes far past any file end.
#include "share_modes.h"

#include "last_error.h"

#include <fcntl.h>

#include <cerrno>

namespace w32 {
namespace {

// Each open holds shared (read) locks on the markers that describe it; a
// marker held by any other open file description, in any process, is seen with
// F_OFD_GETLK. OFD locks belong to the open, not to the process, so two opens
// in one process see each other, and closing the file drops them. The markers
// lie far beyond any real file end, so they never touch data locks.
constexpr off_t kMarkerBase = off_t{1} << 62;

enum Marker : off_t {
    kGuard = 0,        // held exclusively around check-and-take
    kReads = 1,        // this open reads
    kWrites = 2,       // this open writes
    kDeniesReads = 3,  // this open lets nobody else read
    kDeniesWrites = 4, // this open lets nobody else write
};

int LockMarker(int fd, int command, short type, Marker marker)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = kMarkerBase + marker;
    lock.l_len = 1;
    int result;
    do {
        result = fcntl(fd, command, &lock);
    } while (result != 0 && errno == EINTR);
    return result;
}

// Held by another open, or unknowable (then taken as held: a false sharing
// violation is safe, a false success is not).
bool HeldElsewhere(int fd, Marker marker)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kMarkerBase + marker;
    lock.l_len = 1;
    if (fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return true;
    return lock.l_type != F_UNLCK;
}

// An exclusive lock needs a descriptor open for writing. Opens without one
// still cannot both succeed when they conflict, because every open takes its
// markers before it checks the others' (at worst both see each other and
// fail); the guard only spares writers that double failure.
class Guard {
public:
    Guard(int fd, bool writable) : fd_(writable ? fd : -1)
    {
        if (fd_ >= 0 && LockMarker(fd_, F_OFD_SETLKW, F_WRLCK, kGuard) != 0)
            fd_ = -1;
    }
    ~Guard()
    {
        if (fd_ >= 0)
            LockMarker(fd_, F_OFD_SETLK, F_UNLCK, kGuard);
    }
    Guard(const Guard &) = delete;
    Guard &operator=(const Guard &) = delete;

private:
    int fd_;
};

}  // namespace

DWORD ClaimShareAccess(int fd, DWORD access, DWORD share, bool fdWritable)
{
    const bool reads = (access & GENERIC_READ) != 0;
    const bool writes = (access & GENERIC_WRITE) != 0;
    if (!reads && !writes)
        return ERROR_SUCCESS;  // an open without data access takes part in no sharing
    const bool deniesReads = (share & FILE_SHARE_READ) == 0;
    const bool deniesWrites = (share & FILE_SHARE_WRITE) == 0;

    Guard guard(fd, fdWritable);
    const struct {
        bool wanted;
        Marker marker;
    } takes[] = {{reads, kReads}, {writes, kWrites}, {deniesReads, kDeniesReads}, {deniesWrites, kDeniesWrites}};
    for (const auto &take : takes) {
        if (take.wanted && LockMarker(fd, F_OFD_SETLK, F_RDLCK, take.marker) != 0)
            return ErrorFromErrno(errno);
    }
    const struct {
        bool applies;
        Marker conflicting;
    } checks[] = {{reads, kDeniesReads}, {writes, kDeniesWrites}, {deniesReads, kReads}, {deniesWrites, kWrites}};
    for (const auto &check : checks) {
        if (check.applies && HeldElsewhere(fd, check.conflicting))
            return ERROR_SHARING_VIOLATION;
    }
    return ERROR_SUCCESS;
}

}  // namespace w32
