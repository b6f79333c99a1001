// Mappings: CreateFileMappingA, MapViewOfFile, UnmapViewOfFile; views are real shared memory maps.
#include "mappings.h"

#include "faults.h"
#include "handles.h"
#include "last_error.h"
#include "singleton.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace w32 {
namespace {

// How many mapping objects each file has; SetEndOfFile asks it.
class MappedFiles {
public:
    void Add(const FileId &file)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++counts_[file];
    }
    void Remove(const FileId &file)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = counts_.find(file);
        if (it != counts_.end() && --it->second == 0)
            counts_.erase(it);
    }
    bool Contains(const FileId &file)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return counts_.count(file) != 0;
    }

private:
    std::mutex mutex_;
    std::map<FileId, int> counts_;
};

MappedFiles &Mapped()
{
    return Singleton<MappedFiles>();
}

// Holds its file open (the handle may be closed first) and counts as a
// mapping of that file for as long as it lives. Its own open of the file
// takes no part in the share modes, which belong to open handles: once the
// file's handle is closed, others may open the file while it is mapped.
class Mapping : public Object {
public:
    Mapping(UniqueFd fd, const FileId &file, uint64_t size, bool writable)
        : fd_(std::move(fd)), file_(file), size_(size), writable_(writable)
    {
        Mapped().Add(file_);
    }
    ~Mapping() override { Mapped().Remove(file_); }

    int fd() const { return fd_.get(); }
    uint64_t size() const { return size_; }
    bool writable() const { return writable_; }

private:
    UniqueFd fd_;
    const FileId file_;
    const uint64_t size_;
    const bool writable_;
};

// The views mapped now, by base address; each keeps its mapping alive.
class Views {
public:
    void Add(void *base, size_t length, std::shared_ptr<Mapping> mapping)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        views_[reinterpret_cast<uintptr_t>(base)] = View{length, std::move(mapping)};
    }

    // False when base is not the start of a view. The mapping is released
    // outside the lock: it may be the last reference to a file.
    bool Remove(const void *base)
    {
        std::shared_ptr<Mapping> mapping;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = views_.find(reinterpret_cast<uintptr_t>(base));
            if (it == views_.end())
                return false;
            munmap(const_cast<void *>(base), it->second.length);
            mapping = std::move(it->second.mapping);
            views_.erase(it);
        }
        return true;
    }

private:
    struct View {
        size_t length;
        std::shared_ptr<Mapping> mapping;
    };
    std::mutex mutex_;
    std::map<uintptr_t, View> views_;
};

Views &AllViews()
{
    return Singleton<Views>();
}

// Lengthens the file to size with real blocks where the file system can, so a
// full volume fails here and not later as a fault in a view. On failure the
// file keeps its old length.
DWORD Lengthen(int fd, off_t from, off_t to)
{
    if (fallocate(fd, 0, from, to - from) == 0)
        return ERROR_SUCCESS;
    if ((errno == EOPNOTSUPP || errno == ENOSYS) && ftruncate(fd, to) == 0)
        return ERROR_SUCCESS;
    const DWORD error = ErrorFromErrno(errno);
    struct stat status;
    if (fstat(fd, &status) == 0 && status.st_size != from)
        (void)ftruncate(fd, from);
    return error;
}

// A device read error while the view is touched: the view's pages are
// replaced by a shared map of an empty memory file, so touching them raises
// SIGBUS, and the file itself is left alone.
bool MakeUnreadable(void *base, size_t length, int protection)
{
    UniqueFd empty(memfd_create("w32-unreadable-view", MFD_CLOEXEC));
    if (!empty)
        return false;
    return mmap(base, length, protection, MAP_SHARED | MAP_FIXED, empty.get(), 0) != MAP_FAILED;
}

constexpr uint64_t kAllocationGranularity = 65536;

HANDLE CreateMapping(HANDLE fileHandle, DWORD protect, uint64_t maximumSize)
{
    std::shared_ptr<File> file = Find<File>(fileHandle);
    if (!file)
        return nullptr;
    const bool writable = protect == PAGE_READWRITE;
    if (!writable && protect != PAGE_READONLY)
        return Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    if (!file->CanRead() || (writable && !file->CanWrite()))
        return Fail<HANDLE>(ERROR_ACCESS_DENIED, nullptr);

    struct stat status;
    if (fstat(file->fd(), &status) != 0)
        return Fail<HANDLE>(ErrorFromErrno(errno), nullptr);
    const uint64_t current = static_cast<uint64_t>(status.st_size);
    uint64_t size = maximumSize;
    if (size == 0) {
        if (current == 0)
            return Fail<HANDLE>(ERROR_FILE_INVALID, nullptr);
        size = current;
    }
    // The platform lengthens a file to a longer mapping, and only through a
    // writable mapping of a handle opened for writing.
    const bool lengthens = size > current;
    if (lengthens && !writable)
        return Fail<HANDLE>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    if (size > static_cast<uint64_t>(INT64_MAX))
        return Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);

    // A new open file description, without the handle's share-mode record.
    const std::string self = "/proc/self/fd/" + std::to_string(file->fd());
    UniqueFd own(open(self.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC));
    if (own.get() < 0)
        return Fail<HANDLE>(ErrorFromErrno(errno), nullptr);
    auto mapping = std::make_shared<Mapping>(std::move(own), file->id(), size, writable);
    if (lengthens) {
        const DWORD error = Lengthen(file->fd(), static_cast<off_t>(current), static_cast<off_t>(size));
        if (error != ERROR_SUCCESS)
            return Fail<HANDLE>(error, nullptr);
    }
    HANDLE handle = AddHandle(mapping);
    if (!handle && lengthens) {
        const DWORD error = GetLastError();
        mapping.reset();
        (void)ftruncate(file->fd(), static_cast<off_t>(current));
        SetLastError(error);
    }
    return handle;
}

LPVOID MapView(HANDLE mappingHandle, DWORD access, uint64_t offset, SIZE_T length)
{
    std::shared_ptr<Mapping> mapping = Find<Mapping>(mappingHandle);
    if (!mapping)
        return nullptr;
    if (access == 0 || (access & ~DWORD{FILE_MAP_READ | FILE_MAP_WRITE}) != 0)
        return Fail<LPVOID>(ERROR_INVALID_PARAMETER, nullptr);
    const bool writes = (access & FILE_MAP_WRITE) != 0;
    if (writes && !mapping->writable())
        return Fail<LPVOID>(ERROR_ACCESS_DENIED, nullptr);
    if (offset % kAllocationGranularity != 0)
        return Fail<LPVOID>(kErrorMappedAlignment, nullptr);
    if (offset >= mapping->size())
        return Fail<LPVOID>(ERROR_ACCESS_DENIED, nullptr);
    if (length == 0)
        length = static_cast<SIZE_T>(mapping->size() - offset);
    if (length > mapping->size() - offset)
        return Fail<LPVOID>(ERROR_ACCESS_DENIED, nullptr);

    const int protection = PROT_READ | (writes ? PROT_WRITE : 0);
    void *base = mmap(nullptr, length, protection, MAP_SHARED, mapping->fd(), static_cast<off_t>(offset));
    if (base == MAP_FAILED)
        return Fail<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    if (TakeFailure("MapViewOfFile:unreadable") && !MakeUnreadable(base, length, protection)) {
        munmap(base, length);
        return Fail<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    }
    try {
        AllViews().Add(base, length, std::move(mapping));
    } catch (...) {
        munmap(base, length);
        throw;
    }
    return base;
}

}  // namespace

bool IsMapped(const FileId &file)
{
    return Mapped().Contains(file);
}

}  // namespace w32

HANDLE WINAPI CreateFileMappingA(HANDLE hFile, LPSECURITY_ATTRIBUTES, DWORD flProtect, DWORD dwMaximumSizeHigh,
                                 DWORD dwMaximumSizeLow, LPCSTR lpName)
{
    // Injected as the platform's usual cause: the file cannot be lengthened.
    if (w32::TakeFailure("CreateFileMappingA"))
        return w32::Fail<HANDLE>(ERROR_DISK_FULL, nullptr);
    if (lpName)  // named mappings are shared between processes; the program uses none
        return w32::Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    const uint64_t size = (uint64_t{dwMaximumSizeHigh} << 32) | dwMaximumSizeLow;
    return w32::Guarded<HANDLE>(nullptr, [&] { return w32::CreateMapping(hFile, flProtect, size); });
}

LPVOID WINAPI MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                            DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap)
{
    if (w32::TakeFailure("MapViewOfFile"))
        return w32::Fail<LPVOID>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    const uint64_t offset = (uint64_t{dwFileOffsetHigh} << 32) | dwFileOffsetLow;
    return w32::Guarded<LPVOID>(
        nullptr, [&] { return w32::MapView(hFileMappingObject, dwDesiredAccess, offset, dwNumberOfBytesToMap); });
}

BOOL WINAPI UnmapViewOfFile(LPCVOID lpBaseAddress)
{
    if (!w32::AllViews().Remove(lpBaseAddress))
        return w32::Fail(w32::kErrorInvalidAddress, FALSE);
    return TRUE;
}
