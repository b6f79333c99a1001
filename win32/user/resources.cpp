// resources.cpp: reads the .res file that windres makes from the program's
// resource script, and the dialog templates and icon groups inside it.
#include "resources.h"

#include "codepage.h"

#include <algorithm>

// The embedded resource file, defined by the source that w32_embed_resources
// generates. Weak, so a program without resources still links (and has none).
extern "C" {
__attribute__((weak)) extern const unsigned char w32_resource_data[];
__attribute__((weak)) extern const unsigned long w32_resource_size;
}

namespace w32 {
namespace {

// Little-endian reads from a byte range. A read past the end fails, and so does
// every read after it: the parsers check ok() once per record or item instead
// of after every field.
class Cursor {
public:
    explicit Cursor(std::span<const BYTE> data, size_t pos = 0) : data_(data), pos_(pos) {
        ok_ = pos <= data.size();
    }

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    BYTE Byte() { return static_cast<BYTE>(Read(1)); }
    WORD Word() { return static_cast<WORD>(Read(2)); }
    DWORD Dword() { return Read(4); }
    short Short() { return static_cast<short>(Word()); }

    void Skip(size_t n) {
        if (!ok_ || n > data_.size() - pos_) {
            ok_ = false;
            return;
        }
        pos_ += n;
    }

    // DWORD alignment, counted from the start of the range (the start of a
    // resource file or of a resource's data, both DWORD-aligned).
    void AlignDword() { Skip((4 - pos_ % 4) % 4); }

    std::u16string String() {
        std::u16string s;
        while (ok_) {
            WORD c = Word();
            if (!ok_ || c == 0) break;
            s.push_back(static_cast<char16_t>(c));
        }
        return s;
    }

    // 0xFFFF and an ordinal, or a zero-terminated string (empty for none).
    ResourceId Id() {
        if (Peek() == 0xFFFF) {
            Word();
            return Word();
        }
        return String();
    }

private:
    DWORD Read(size_t n) {
        if (!ok_ || n > data_.size() - pos_) {
            ok_ = false;
            return 0;
        }
        DWORD v = 0;
        for (size_t i = 0; i < n; ++i) v |= static_cast<DWORD>(data_[pos_ + i]) << (8 * i);
        pos_ += n;
        return v;
    }

    WORD Peek() const {
        if (!ok_ || data_.size() - pos_ < 2) return 0;
        return static_cast<WORD>(data_[pos_] | data_[pos_ + 1] << 8);
    }

    std::span<const BYTE> data_;
    size_t pos_;
    bool ok_;
};

bool IsOrdinal(const ResourceId &id, WORD value) {
    const WORD *ordinal = std::get_if<WORD>(&id);
    return ordinal && *ordinal == value;
}

// A menu or class of a dialog template as text: the string itself, or the
// platform's "#n" spelling of an integer name.
std::string IdText(const ResourceId &id) {
    if (const WORD *ordinal = std::get_if<WORD>(&id)) return "#" + std::to_string(*ordinal);
    return Utf16ToCp936(std::get<std::u16string>(id));
}

std::string ControlClassName(const ResourceId &id) {
    static constexpr const char *kPredefined[] = {"button", "edit",      "static",
                                                  "listbox", "scrollbar", "combobox"};
    if (const WORD *ordinal = std::get_if<WORD>(&id)) {
        if (*ordinal >= 0x80 && *ordinal < 0x80 + std::size(kPredefined))
            return kPredefined[*ordinal - 0x80];
    }
    return IdText(id);
}

}  // namespace

std::optional<std::vector<ResourceEntry>> ParseResourceFile(std::span<const BYTE> file) {
    std::vector<ResourceEntry> entries;
    bool first = true;
    size_t pos = 0;
    while (pos < file.size() || first) {
        Cursor c(file, pos);
        DWORD dataSize = c.Dword();
        DWORD headerSize = c.Dword();
        ResourceEntry entry;
        entry.type = c.Id();
        entry.name = c.Id();
        c.AlignDword();
        c.Dword();  // data version
        c.Word();   // memory flags
        entry.language = c.Word();
        c.Dword();  // version
        c.Dword();  // characteristics
        if (!c.ok() || headerSize < c.pos() - pos || headerSize > file.size() - pos)
            return std::nullopt;
        size_t dataStart = pos + headerSize;
        if (dataSize > file.size() - dataStart) return std::nullopt;
        entry.data = file.subspan(dataStart, dataSize);

        if (first) {
            // The empty record that marks a 32-bit resource file.
            if (dataSize != 0 || !IsOrdinal(entry.type, 0)) return std::nullopt;
            first = false;
        } else {
            entries.push_back(std::move(entry));
        }
        // The next record is DWORD-aligned; the last may end unpadded.
        size_t end = dataStart + dataSize;
        pos = std::min(end + (4 - end % 4) % 4, file.size());
    }
    return entries;
}

std::optional<ResourceEntry> FindResourceEntry(std::span<const BYTE> file, WORD type, WORD name) {
    auto entries = ParseResourceFile(file);
    if (!entries) return std::nullopt;
    for (auto &entry : *entries) {
        if (IsOrdinal(entry.type, type) && IsOrdinal(entry.name, name)) return entry;
    }
    return std::nullopt;
}

std::span<const BYTE> EmbeddedResourceFile() {
    if (&w32_resource_size == nullptr || w32_resource_data == nullptr) return {};
    return {w32_resource_data, static_cast<size_t>(w32_resource_size)};
}

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> data) {
    Cursor c(data);
    WORD version = c.Word();
    WORD signature = c.Word();
    if (!c.ok() || version != 1 || signature != 0xFFFF) return std::nullopt;

    DialogTemplate t;
    c.Dword();  // help identifier
    t.exStyle = c.Dword();
    t.style = c.Dword();
    WORD count = c.Word();
    t.x = c.Short();
    t.y = c.Short();
    t.cx = c.Short();
    t.cy = c.Short();
    ResourceId menu = c.Id();
    ResourceId windowClass = c.Id();
    std::u16string title = c.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = c.Word();
        t.weight = c.Word();
        t.italic = c.Byte();
        t.charset = c.Byte();
        t.fontFace = c.String();
    }
    if (!c.ok()) return std::nullopt;
    const ResourceId none = std::u16string();
    if (menu != none) t.menu = IdText(menu);
    if (windowClass != none) t.className = IdText(windowClass);
    t.caption = Utf16ToCp936(title);

    for (WORD i = 0; i < count; ++i) {
        c.AlignDword();
        DialogItem item;
        c.Dword();  // help identifier
        item.exStyle = c.Dword();
        item.style = c.Dword();
        item.x = c.Short();
        item.y = c.Short();
        item.cx = c.Short();
        item.cy = c.Short();
        DWORD id = c.Dword();
        ResourceId itemClass = c.Id();
        ResourceId text = c.Id();
        c.Skip(c.Word());  // creation data
        if (!c.ok()) return std::nullopt;
        item.id = (id == 0xFFFFFFFF || id == 0xFFFF) ? -1 : static_cast<int>(id);
        item.className = ControlClassName(itemClass);
        // An ordinal title names an image resource; none of our controls has one.
        if (const auto *s = std::get_if<std::u16string>(&text)) item.text = Utf16ToCp936(*s);
        t.items.push_back(std::move(item));
    }
    return t;
}

std::optional<IconGroup> ParseIconGroup(std::span<const BYTE> data) {
    Cursor c(data);
    WORD reserved = c.Word();
    WORD type = c.Word();
    WORD count = c.Word();
    if (!c.ok() || reserved != 0 || type != 1) return std::nullopt;
    IconGroup group;
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry e;
        e.width = c.Byte();
        e.height = c.Byte();
        e.colorCount = c.Byte();
        c.Byte();  // reserved
        e.planes = c.Word();
        e.bitCount = c.Word();
        e.bytes = c.Dword();
        e.iconId = c.Word();
        if (!c.ok()) return std::nullopt;
        group.entries.push_back(e);
    }
    return group;
}

std::optional<DialogTemplate> LoadDialogTemplate(WORD id) {
    auto entry = FindResourceEntry(EmbeddedResourceFile(), kResourceDialog, id);
    if (!entry) return std::nullopt;
    return ParseDialogTemplate(entry->data);
}

std::optional<IconGroup> LoadIconGroup(WORD id) {
    auto entry = FindResourceEntry(EmbeddedResourceFile(), kResourceGroupIcon, id);
    if (!entry) return std::nullopt;
    return ParseIconGroup(entry->data);
}

}  // namespace w32
