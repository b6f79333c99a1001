// textstore.h: a text box's bytes in one block of pages that grows where it
// lies: the kernel extends the block, or moves its pages to a larger range,
// and the bytes are never copied. Appending is constant time, and a long text
// never has a second copy of itself beside it while it grows. Pages past the
// text are reserved, never touched, so they take no memory.
#ifndef W32_USER_TEXTSTORE_H
#define W32_USER_TEXTSTORE_H

#include <cstddef>
#include <string_view>

namespace w32 {

class TextStore {
public:
    TextStore() = default;
    ~TextStore();
    TextStore(const TextStore &) = delete;
    TextStore &operator=(const TextStore &) = delete;

    size_t size() const { return size_; }
    std::string_view View() const { return {data_, size_}; }

    // Each change is made whole or, when memory runs out, not at all (false).
    bool Append(const char *bytes, size_t count)
    {
        if (count > capacity_ - size_ && !Grow(size_ + count))
            return false;
        char *to = data_ + size_;
        // Most pieces are a few bytes: copied in two overlapping moves each.
        if (count >= 8 && count <= 16) {
            __builtin_memcpy(to, bytes, 8);
            __builtin_memcpy(to + count - 8, bytes + count - 8, 8);
        } else if (count >= 4 && count < 8) {
            __builtin_memcpy(to, bytes, 4);
            __builtin_memcpy(to + count - 4, bytes + count - 4, 4);
        } else if (count != 0) {
            __builtin_memcpy(to, bytes, count);
        }
        size_ += count;
        return true;
    }
    // The count bytes at position replaced by the given ones.
    bool Replace(size_t position, size_t count, const char *bytes, size_t length);
    bool Assign(std::string_view bytes);

private:
    bool Grow(size_t needed);
    void Release();

    char *data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace w32

#endif
