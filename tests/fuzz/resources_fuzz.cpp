// The resource reader on any bytes: a resource file, a dialog template and an
// icon group are decoded or refused, and nothing is read outside the input
// (AddressSanitizer stops the run on any such read). What a file yields lies
// inside it.
#include "user/resources.h"

#include "box_model.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const BYTE> input(data, size);
    if (auto entries = w32::ParseResourceFile(input)) {
        for (const w32::ResourceEntry &entry : *entries) {
            Expect(entry.data.data() >= data && entry.data.data() + entry.data.size() <= data + size,
                   "a resource's data lies inside its file");
            w32::ParseDialogTemplate(entry.data);
            w32::ParseIconGroup(entry.data);
        }
    }
    if (auto dialog = w32::ParseDialogTemplate(input))
        Expect(dialog->items.size() <= size / 2, "no more items than the template can hold");
    if (auto group = w32::ParseIconGroup(input))
        Expect(group->entries.size() <= size / 14, "no more icons than the group can hold");
    return 0;
}
