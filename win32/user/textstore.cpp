// textstore.cpp: a text box's bytes (see textstore.h).
#include "user/textstore.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace w32 {

namespace {

size_t PageSize()
{
    static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

size_t RoundUp(size_t n, size_t to)
{
    return (n + to - 1) / to * to;
}

}  // namespace

TextStore::~TextStore()
{
    Release();
}

void TextStore::Release()
{
    if (data_ != nullptr)
        munmap(data_, capacity_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}

bool TextStore::Grow(size_t needed)
{
    // An eighth more each time: few moves, and the reserve stays small.
    const size_t capacity = RoundUp(needed + needed / 8, PageSize());
    void *block;
    if (data_ == nullptr)
        block = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    else
        block = mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    if (block == MAP_FAILED)
        return false;
    data_ = static_cast<char *>(block);
    capacity_ = capacity;
    return true;
}

bool TextStore::Replace(size_t position, size_t count, const char *bytes, size_t length)
{
    if (position == size_ && count == 0)
        return Append(bytes, length);
    const size_t size = size_ - count + length;
    if (size > capacity_ && !Grow(size))
        return false;
    memmove(data_ + position + length, data_ + position + count, size_ - position - count);
    if (length != 0)
        memcpy(data_ + position, bytes, length);
    size_ = size;
    return true;
}

bool TextStore::Assign(std::string_view bytes)
{
    const bool own = data_ != nullptr && bytes.data() >= data_ && bytes.data() < data_ + capacity_;
    // A text much shorter than a large block gives the block's pages back.
    if (!own && capacity_ > (size_t{1} << 20) && bytes.size() <= capacity_ / 2)
        Release();
    if (bytes.size() > capacity_ && !Grow(bytes.size()))
        return false;
    if (!bytes.empty())
        memmove(data_, bytes.data(), bytes.size());
    size_ = bytes.size();
    return true;
}

}  // namespace w32
