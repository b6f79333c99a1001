// resources_test.cpp: the program's own resource script, compiled by windres
// and embedded in this test, read back through the stand-in's resource reader;
// malformed resource data, which must give no result and never be read past
// its end; and the code page conversion the reader uses for texts.
#include "ui/resource.h"
#include "win32/user/codepage.h"
#include "win32/user/resources.h"

#include <gtest/gtest.h>
#include <strings.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <new>
#include <set>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

constexpr WORD kChinesePrc = 2052;

Bytes ToBytes(std::span<const BYTE> s) { return Bytes(s.begin(), s.end()); }

// Bytes placed right before an inaccessible page, so a reader that goes one
// byte too far faults instead of passing by chance.
class GuardedBytes {
public:
    explicit GuardedBytes(std::span<const BYTE> bytes) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t dataPages = (bytes.size() + page - 1) / page;
        total_ = (dataPages + 1) * page;
        void *map = mmap(nullptr, total_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED) throw std::bad_alloc();
        base_ = static_cast<BYTE *>(map);
        if (mprotect(base_ + dataPages * page, page, PROT_NONE) != 0) throw std::bad_alloc();
        start_ = base_ + dataPages * page - bytes.size();
        if (!bytes.empty()) std::memcpy(start_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBytes() { munmap(base_, total_); }
    GuardedBytes(const GuardedBytes &) = delete;
    GuardedBytes &operator=(const GuardedBytes &) = delete;

    std::span<const BYTE> span() const { return {start_, size_}; }

private:
    BYTE *base_ = nullptr;
    BYTE *start_ = nullptr;
    size_t size_ = 0, total_ = 0;
};

std::span<const BYTE> ResourceFile() {
    auto file = w32::EmbeddedResourceFile();
    EXPECT_FALSE(file.empty()) << "no resource file embedded";
    return file;
}

w32::ResourceEntry Resource(WORD type, WORD name) {
    auto entry = w32::FindResourceEntry(ResourceFile(), type, name);
    if (!entry) ADD_FAILURE() << "resource type " << type << " name " << name << " not found";
    return entry.value_or(w32::ResourceEntry{});
}

w32::DialogTemplate MainDialog() {
    auto dialog = w32::ParseDialogTemplate(Resource(w32::kResourceDialog, IDD_MAIN).data);
    if (!dialog) ADD_FAILURE() << "IDD_MAIN is no readable extended dialog template";
    return dialog.value_or(w32::DialogTemplate{});
}

// Class names match without regard to case, as on the platform (windres
// stores a string class upper-cased).
bool SameClass(const std::string &a, const std::string &b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

void PutDword(Bytes &bytes, size_t offset, DWORD value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<BYTE>(value >> (8 * i));
}

void PutWord(Bytes &bytes, size_t offset, WORD value) {
    bytes.at(offset) = static_cast<BYTE>(value);
    bytes.at(offset + 1) = static_cast<BYTE>(value >> 8);
}

// ---- the real script ----

TEST(Resources, FileHoldsTheIconTheDialogAndTheIconGroupInChinesePrc) {
    auto entries = w32::ParseResourceFile(ResourceFile());
    ASSERT_TRUE(entries);
    struct Expected { WORD type, name; };
    const Expected expected[] = {
        {w32::kResourceIcon, 1}, {w32::kResourceDialog, IDD_MAIN}, {w32::kResourceGroupIcon, IDI_MAIN}};
    ASSERT_EQ(entries->size(), std::size(expected));
    for (size_t i = 0; i < entries->size(); ++i) {
        SCOPED_TRACE(i);
        const auto &e = (*entries)[i];
        EXPECT_EQ(e.type, w32::ResourceId(expected[i].type));
        EXPECT_EQ(e.name, w32::ResourceId(expected[i].name));
        EXPECT_EQ(e.language, kChinesePrc);
        EXPECT_EQ(e.language, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    }
}

TEST(Resources, MainDialogFrame) {
    auto dialog = MainDialog();
    EXPECT_EQ(dialog.caption, "Bytescribe V 1.2.080420");
    EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                               DS_SETFONT | DS_FIXEDSYS))
        << std::hex << "0x" << dialog.style;
    EXPECT_EQ(dialog.exStyle, static_cast<DWORD>(WS_EX_ACCEPTFILES));
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 401);
    EXPECT_EQ(dialog.cy, 263);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.className, "");
    EXPECT_EQ(dialog.fontFace, u"MS Shell Dlg");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 400);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, 1);
}

TEST(Resources, MainDialogControlsInTemplateOrder) {
    struct Row {
        int id;
        const char *className;
        const char *text;  // code page 936
        DWORD style;
        short x, y, cx, cy;
    };
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const Row rows[] = {
        {-1, "button", "Input", child | BS_GROUPBOX, 6, 26, 390, 88},
        {IDC_PATH, "edit", "", child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 331, 14},
        {IDC_BROWSE, "button", "...", child | WS_TABSTOP | BS_PUSHBUTTON, 342, 4, 53, 14},
        {IDC_TEXT, "edit", "",
         child | WS_DISABLED | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL |
             ES_WANTRETURN,
         12, 36, 378, 74},
        {-1, "button", "Output", child | BS_GROUPBOX, 6, 134, 390, 94},
        {IDC_LITTLE_ENDIAN, "button", "Little Endian", child | WS_GROUP | BS_AUTORADIOBUTTON, 6, 120, 55, 10},
        {IDC_BIG_ENDIAN, "button", "Big Endian", child | BS_AUTORADIOBUTTON, 66, 121, 49, 10},
        {IDC_ASM, "button", "ASM", child | BS_AUTORADIOBUTTON, 120, 122, 30, 10},
        {IDC_ASCII, "button", "ASCII", child | WS_TABSTOP | BS_AUTOCHECKBOX, 160, 122, 35, 10},
        {IDC_CONVERT, "button", "\xD7\xAA\xBB\xBB", child | WS_TABSTOP | BS_PUSHBUTTON, 346, 231, 50, 14},
        {IDC_OUTPUT, "RichEdit20A", "",
         child | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 12, 144, 378, 78},
    };
    auto dialog = MainDialog();
    ASSERT_EQ(dialog.items.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row &row = rows[i];
        const w32::DialogItem &item = dialog.items[i];
        SCOPED_TRACE(testing::Message() << "control #" << i + 1 << " (id " << row.id << ")");
        EXPECT_EQ(item.id, row.id);
        EXPECT_PRED2(SameClass, item.className, row.className);
        EXPECT_EQ(item.text, row.text);
        EXPECT_EQ(item.style, row.style) << std::hex << "0x" << item.style << " for 0x" << row.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.x, row.x);
        EXPECT_EQ(item.y, row.y);
        EXPECT_EQ(item.cx, row.cx);
        EXPECT_EQ(item.cy, row.cy);
    }
}

TEST(Resources, IconIsOne48By48ImageOf256Colours) {
    auto group = w32::ParseIconGroup(Resource(w32::kResourceGroupIcon, IDI_MAIN).data);
    ASSERT_TRUE(group);
    ASSERT_EQ(group->entries.size(), 1u);
    const auto &e = group->entries[0];
    EXPECT_EQ(e.width, 48);
    EXPECT_EQ(e.height, 48);
    EXPECT_EQ(e.colorCount, 0);  // 256 colours
    EXPECT_EQ(e.planes, 1);
    EXPECT_EQ(e.bitCount, 8);
    EXPECT_EQ(e.iconId, 1);

    // The image itself: BITMAPINFOHEADER, 256-entry palette, colour rows,
    // 1-bit mask rows padded to DWORDs; the height counts both halves.
    auto image = Resource(w32::kResourceIcon, e.iconId).data;
    ASSERT_EQ(image.size(), e.bytes);
    const size_t expectedSize = 40 + 256 * 4 + 48 * 48 + 48 * 8;
    ASSERT_EQ(image.size(), expectedSize);
    auto dword = [&](size_t at) {
        return static_cast<DWORD>(image[at] | image[at + 1] << 8 | image[at + 2] << 16 | image[at + 3] << 24);
    };
    EXPECT_EQ(dword(0), 40u);   // header size
    EXPECT_EQ(dword(4), 48u);   // width
    EXPECT_EQ(dword(8), 96u);   // height: colour and mask
    EXPECT_EQ(image[12] | image[13] << 8, 1);  // planes
    EXPECT_EQ(image[14] | image[15] << 8, 8);  // bits per pixel
    EXPECT_EQ(dword(16), 0u);  // uncompressed
}

TEST(Resources, LoadFunctionsReadTheEmbeddedFile) {
    auto dialog = w32::LoadDialogTemplate(IDD_MAIN);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->items.size(), 11u);
    EXPECT_TRUE(w32::LoadIconGroup(IDI_MAIN));
    EXPECT_FALSE(w32::LoadDialogTemplate(IDI_MAIN));
    EXPECT_FALSE(w32::LoadIconGroup(IDD_MAIN));
}

// ---- malformed data ----

TEST(ResourcesMalformed, TruncatedFileParsesOnlyAtRecordBoundaries) {
    const auto full = ResourceFile();
    auto entries = w32::ParseResourceFile(full);
    ASSERT_TRUE(entries);
    // A prefix ending after a whole record (padded or not) is a smaller valid file.
    std::set<size_t> boundaries = {32};
    for (const auto &e : *entries) {
        size_t end = static_cast<size_t>(e.data.data() - full.data()) + e.data.size();
        boundaries.insert(end);
        boundaries.insert((end + 3) & ~size_t{3});
    }
    for (size_t length = 0; length < full.size(); ++length) {
        GuardedBytes prefix(full.first(length));
        auto parsed = w32::ParseResourceFile(prefix.span());
        EXPECT_EQ(parsed.has_value(), boundaries.count(length) == 1) << "length " << length;
        if (!parsed) continue;
        for (const auto &e : *parsed) {
            EXPECT_GE(e.data.data(), prefix.span().data());
            EXPECT_LE(e.data.data() + e.data.size(), prefix.span().data() + length);
        }
    }
}

TEST(ResourcesMalformed, TruncatedDialogAndIconGroupFail) {
    struct Case { const char *name; Bytes data; std::function<bool(std::span<const BYTE>)> parse; };
    const Case cases[] = {
        {"dialog", ToBytes(Resource(w32::kResourceDialog, IDD_MAIN).data),
         [](std::span<const BYTE> d) { return w32::ParseDialogTemplate(d).has_value(); }},
        {"icon group", ToBytes(Resource(w32::kResourceGroupIcon, IDI_MAIN).data),
         [](std::span<const BYTE> d) { return w32::ParseIconGroup(d).has_value(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.parse(GuardedBytes(c.data).span()));
        for (size_t length = 0; length < c.data.size(); ++length)
            EXPECT_FALSE(c.parse(GuardedBytes(std::span(c.data).first(length)).span())) << "length " << length;
    }
}

TEST(ResourcesMalformed, CorruptFieldsFail) {
    const Bytes file = ToBytes(ResourceFile());
    const Bytes dialog = ToBytes(Resource(w32::kResourceDialog, IDD_MAIN).data);
    const Bytes group = ToBytes(Resource(w32::kResourceGroupIcon, IDI_MAIN).data);
    const size_t second = 32;  // the first real record's header, after the empty one
    struct Case {
        const char *name;
        const Bytes *original;
        std::function<void(Bytes &)> corrupt;
    };
    const Case cases[] = {
        {"file: first record not empty", &file, [](Bytes &b) { PutDword(b, 0, 4); }},
        {"file: first record of a type", &file, [](Bytes &b) { PutWord(b, 10, 5); }},
        {"file: data size past the end", &file, [&](Bytes &b) { PutDword(b, second, 0xFFFFFFF0); }},
        {"file: header size past the end", &file, [&](Bytes &b) { PutDword(b, second + 4, 0xFFFFFFFF); }},
        {"file: header size short of its fields", &file, [&](Bytes &b) { PutDword(b, second + 4, 8); }},
        {"dialog: version 0", &dialog, [](Bytes &b) { PutWord(b, 0, 0); }},
        {"dialog: no extended signature", &dialog, [](Bytes &b) { PutWord(b, 2, 0); }},
        {"dialog: one item more than stored", &dialog, [](Bytes &b) { PutWord(b, 16, 12); }},
        {"dialog: item count 65535", &dialog, [](Bytes &b) { PutWord(b, 16, 0xFFFF); }},
        {"icon group: not an icon directory", &group, [](Bytes &b) { PutWord(b, 2, 2); }},
        {"icon group: two images, one stored", &group, [](Bytes &b) { PutWord(b, 4, 2); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = *c.original;
        c.corrupt(bytes);
        GuardedBytes guarded(bytes);
        if (c.original == &file)
            EXPECT_FALSE(w32::ParseResourceFile(guarded.span()));
        else if (c.original == &dialog)
            EXPECT_FALSE(w32::ParseDialogTemplate(guarded.span()));
        else
            EXPECT_FALSE(w32::ParseIconGroup(guarded.span()));
    }
}

TEST(ResourcesMalformed, UnterminatedNameFails) {
    // An empty record, then a header whose type string runs to the end.
    Bytes file = ToBytes(ResourceFile().first(32));
    const Bytes header = {0, 0, 0, 0, 64, 0, 0, 0, 'D', 0, 'L', 0, 'G', 0};
    file.insert(file.end(), header.begin(), header.end());
    GuardedBytes guarded(file);
    EXPECT_FALSE(w32::ParseResourceFile(guarded.span()));
}

// ---- code page 936 ----

TEST(Codepage, ConvertsBothWays) {
    struct Row { const char *name; std::u16string utf16; std::string cp936; };
    const Row rows[] = {
        {"empty", u"", ""},
        {"ASCII", u"Ready", "Ready"},
        {"Chinese", u"\u8F6C\u6362", "\xD7\xAA\xBB\xBB"},
        {"mixed", u"\u8F6C\u6362\u4E2D...", "\xD7\xAA\xBB\xBB\xD6\xD0..."},
        {"line break", u"a\r\nb", "a\r\nb"},
        {"euro at 0x80", u"\u20AC", "\x80"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(w32::Utf16ToCp936(row.utf16), row.cp936);
        EXPECT_EQ(w32::Cp936ToUtf16(row.cp936), row.utf16);
    }
}

TEST(Codepage, UnconvertibleTextIsReplaced) {
    // A character outside the code page becomes '?'; a broken byte sequence
    // (here a lead byte at the end) becomes U+FFFD. Text around both survives.
    EXPECT_EQ(w32::Utf16ToCp936(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(w32::Utf16ToCp936(u"a\xD800"), "a?");
    EXPECT_EQ(w32::Cp936ToUtf16("a\xD7"), u"a\uFFFD");
    // A lead byte with a byte behind it that cannot trail it: one bad
    // character, as the display counts it, not two.
    EXPECT_EQ(w32::Cp936ToUtf16("a\x81\x20" "b"), u"a\uFFFDb");
    EXPECT_EQ(w32::Cp936ToUtf16("\x81\r\n"), u"\uFFFD\n");
}

}  // namespace
