// _stati64: a file's status with the Windows C runtime's rules, on Linux paths.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

// The runtime refuses wildcards, and a trailing separator anywhere but on a
// root; it reports folders as 0 bytes long. "/" (or only slashes) is the root.
int _stati64(const char *path, struct _stati64 *buffer)
{
    if (!path || !buffer) {
        errno = EINVAL;
        return -1;
    }
    const size_t length = std::strlen(path);
    const bool onlySlashes = length != 0 && std::strspn(path, "/") == length;
    if (length == 0 || std::strpbrk(path, "?*") || (!onlySlashes && path[length - 1] == '/')) {
        errno = ENOENT;
        return -1;
    }
    struct stat status;
    if (stat(path, &status) != 0) {
        errno = ENOENT;
        return -1;
    }
    const bool folder = S_ISDIR(status.st_mode);
    // Read access always, write unless read-only, execute for folders:
    // the runtime's bits, repeated for group and others as it does.
    unsigned short permissions = S_IRUSR;
    if (status.st_mode & S_IWUSR)
        permissions |= S_IWUSR;
    if (folder)
        permissions |= S_IXUSR;
    permissions |= permissions >> 3 | permissions >> 6;
    buffer->st_mode = static_cast<unsigned short>((folder ? S_IFDIR : S_IFREG) | permissions);
    buffer->st_size = folder ? 0 : static_cast<long long>(status.st_size);
    return 0;
}
