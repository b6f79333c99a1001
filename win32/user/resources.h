// resources.h: the stand-in's resource reader. A program's compiled resource
// script (a .res file, embedded by w32_embed_resources in win32/resources.cmake)
// is read as the platform reads its resource section: resources found by type
// and name, extended dialog templates and icon groups decoded from their
// binary form. Malformed data gives no result; nothing is read past the data.
#ifndef W32_USER_RESOURCES_H
#define W32_USER_RESOURCES_H

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace w32 {

// Resource types by ordinal.
inline constexpr WORD kResourceIcon = 3;
inline constexpr WORD kResourceDialog = 5;
inline constexpr WORD kResourceGroupIcon = 14;

// A resource type or name: an ordinal or a string.
using ResourceId = std::variant<WORD, std::u16string>;

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    WORD language = 0;
    std::span<const BYTE> data;  // inside the file it was read from
};

// All resources of a .res file in file order.
std::optional<std::vector<ResourceEntry>> ParseResourceFile(std::span<const BYTE> file);

// The first resource of that type and integer name, in any language.
std::optional<ResourceEntry> FindResourceEntry(std::span<const BYTE> file, WORD type, WORD name);

// The resource file linked into this program; empty when it has none.
std::span<const BYTE> EmbeddedResourceFile();

struct DialogItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = -1;            // -1 for a control without an identifier
    std::string className;  // "button", "edit", "static", ... or the template's string
    std::string text;       // code page 936; empty when the title is an ordinal
};

struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu;       // empty for none; "#n" for an ordinal
    std::string className;  // empty for the system's dialog class; "#n" for an ordinal
    std::string caption;    // code page 936
    std::u16string fontFace;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<DialogItem> items;
};

// An extended dialog template (DIALOGEX); the older form gives no result.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> data);

struct IconGroupEntry {
    BYTE width = 0, height = 0;  // 0 stands for 256
    BYTE colorCount = 0;         // 0 for 256 colours or more
    WORD planes = 0, bitCount = 0;
    DWORD bytes = 0;
    WORD iconId = 0;  // name of the icon resource holding the image
};

struct IconGroup {
    std::vector<IconGroupEntry> entries;
};

std::optional<IconGroup> ParseIconGroup(std::span<const BYTE> data);

// Lookups in the embedded resource file.
std::optional<DialogTemplate> LoadDialogTemplate(WORD id);
std::optional<IconGroup> LoadIconGroup(WORD id);

}  // namespace w32

#endif
