// codepage.cpp: UTF-16 <-> code page 936 through iconv. One converter per
// direction and thread, opened on first use, so a conversion costs no setup.
#include "codepage.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>

namespace w32 {
namespace {

static_assert(std::endian::native == std::endian::little,
              "char16_t text is passed to iconv as UTF-16LE");

class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of [in, in + inBytes) into out; a character that cannot be
    // converted is replaced by `replacement`, and `skip` says how many input
    // bytes it takes.
    template <typename Out, typename Skip>
    void Run(const char *in, size_t inBytes, Out &out, std::string_view replacement,
             Skip skip) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        auto *src = const_cast<char *>(in);
        while (true) {
            char *dst = buffer;
            size_t room = sizeof buffer;
            size_t rc = inBytes ? iconv(cd_, &src, &inBytes, &dst, &room)
                                : iconv(cd_, nullptr, nullptr, &dst, &room);
            Append(out, buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1)) {
                if (inBytes == 0) break;
                continue;
            }
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (an incomplete sequence at the end).
            Append(out, replacement.data(), replacement.size());
            size_t step = std::min(skip(src, inBytes), inBytes);
            src += step;
            inBytes -= step;
        }
    }

private:
    static void Append(std::string &out, const char *p, size_t n) { out.append(p, n); }
    static void Append(std::u16string &out, const char *p, size_t n) {
        for (size_t i = 0; i + 1 < n; i += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[i]) |
                                                static_cast<unsigned char>(p[i + 1]) << 8));
    }

    iconv_t cd_;
};

}  // namespace

std::string Utf16ToCp936(std::u16string_view text) {
    thread_local Converter conv("CP936", "UTF-16LE");
    std::string out;
    if (!conv.ok()) return out;
    out.reserve(text.size() * 2);
    // A surrogate pair is one character: one '?' for both halves.
    auto skip = [](const char *p, size_t left) -> size_t {
        auto unit = [p](int i) { return static_cast<unsigned char>(p[2 * i + 1]); };
        bool pair = left >= 4 && (unit(0) & 0xFC) == 0xD8 && (unit(1) & 0xFC) == 0xDC;
        return pair ? 4 : 2;
    };
    conv.Run(reinterpret_cast<const char *>(text.data()), text.size() * 2, out, "?", skip);
    return out;
}

std::u16string Cp936ToUtf16(std::string_view text) {
    thread_local Converter conv("UTF-16LE", "CP936");
    std::u16string out;
    if (!conv.ok()) return out;
    out.reserve(text.size());
    static constexpr char kReplacement[] = {'\xFD', '\xFF'};  // U+FFFD, little-endian
    // A lead byte takes the byte behind it into the same bad character, as
    // the display counts characters (display/textmap.cpp).
    auto skip = [](const char *p, size_t left) -> size_t {
        const unsigned char c = static_cast<unsigned char>(*p);
        return c >= 0x81 && c <= 0xFE && left >= 2 ? 2 : 1;
    };
    conv.Run(text.data(), text.size(), out, std::string_view(kReplacement, 2), skip);
    return out;
}

}  // namespace w32
