// The driver's script reader on any text: a script is either read whole into
// well-formed commands, or refused with a message that names its line (the
// driver then says so and exits with 2). Never a crash.
#include "headless/script.h"
#include "ui/resource.h"

#include "box_model.h"

#include <cstdint>
#include <set>

namespace {

const w32::ControlName kNames[] = {
    {"IDC_PATH", IDC_PATH},     {"IDC_TEXT", IDC_TEXT},     {"IDC_ASCII", IDC_ASCII},
    {"IDC_CONVERT", IDC_CONVERT}, {"IDC_OUTPUT", IDC_OUTPUT}, {nullptr, 0},
};

const std::set<std::string> kVerbs = {
    "type", "paste", "click", "key", "drop", "browse", "browse-cancel", "wait-idle", "fail", "close", "show",
    "status", "state", "trace", "messagebox", "hold", "wait-held", "release",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string script(reinterpret_cast<const char *>(data), size);
    std::vector<w32::ScriptCommand> commands;
    std::string error;
    if (!w32::ParseScript(script, kNames, &commands, &error)) {
        Expect(error.rfind("line ", 0) == 0, "a refusal names its line");
        return 0;
    }
    int lastLine = 0;
    for (const w32::ScriptCommand &c : commands) {
        Expect(kVerbs.count(c.verb) == 1, "a known verb");
        Expect(c.line > lastLine, "lines in order");
        lastLine = c.line;
        Expect(c.number >= -1 && c.number <= 999999999, "a number of at most nine digits");
        bool knownControl = c.control == 0;
        for (const w32::ControlName *n = kNames; n->name != nullptr; n++)
            knownControl = knownControl || c.control == n->id;
        Expect(knownControl, "a known control");
    }
    return 0;
}
