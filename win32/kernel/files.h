// File objects: an open file with the access it was opened for.
#pragma once

#include "object.h"
#include "unique_fd.h"

#include <windows.h>

#include <sys/types.h>

#include <tuple>

namespace w32 {

// Which file on disk, whatever name or handle reached it.
struct FileId {
    dev_t device;
    ino_t inode;
    bool operator<(const FileId &other) const
    {
        return std::tie(device, inode) < std::tie(other.device, other.inode);
    }
};

class File : public Object {
public:
    File(UniqueFd fd, DWORD access, FileId id) : fd_(std::move(fd)), access_(access), id_(id) {}

    int fd() const { return fd_.get(); }
    bool CanRead() const { return (access_ & GENERIC_READ) != 0; }
    bool CanWrite() const { return (access_ & GENERIC_WRITE) != 0; }
    const FileId &id() const { return id_; }

private:
    UniqueFd fd_;  // closing it also withdraws the file's share-mode record
    DWORD access_;
    FileId id_;
};

}  // namespace w32
