// script.h: reading the driver's script: one command per line, words and
// double-quoted texts with C escapes.
#ifndef W32_HEADLESS_SCRIPT_H
#define W32_HEADLESS_SCRIPT_H

#include <w32/headless.h>

#include <string>
#include <vector>

namespace w32 {

struct ScriptCommand {
    int line = 0;
    std::string verb;
    std::vector<std::string> args;  // texts unescaped to raw bytes; names as written
    int control = 0;                // the identifier, for commands that name a control
    long number = -1;               // N or MS, when given
};

// Parses the whole script; on a malformed line returns false with a message
// that names the line.
bool ParseScript(const std::string &script, const ControlName *names,
                 std::vector<ScriptCommand> *commands, std::string *error);

// Reads the script from path (standard input when null) and parses it; on
// failure says why on standard error, after program's name, and returns false.
bool LoadScript(const char *program, const char *path, const ControlName *names,
                std::vector<ScriptCommand> *commands);

// The drivers' output: bytes as lower-case hexadecimal, and one line at a
// time, flushed.
std::string Hex(const std::string &bytes);
void PrintLine(const std::string &line);

}  // namespace w32

#endif
