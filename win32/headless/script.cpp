// script.cpp: the driver's script reader (see script.h).
#include "headless/script.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace w32 {

namespace {

struct Token {
    std::string value;
    bool quoted = false;
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Tokenize(const std::string &line, std::vector<Token> *tokens, std::string *error)
{
    size_t i = 0;
    while (i < line.size()) {
        if (isspace(static_cast<unsigned char>(line[i]))) {
            i++;
            continue;
        }
        Token token;
        if (line[i] != '"') {
            while (i < line.size() && !isspace(static_cast<unsigned char>(line[i])))
                token.value += line[i++];
            tokens->push_back(token);
            continue;
        }
        token.quoted = true;
        i++;
        bool closed = false;
        while (i < line.size()) {
            char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                token.value += c;
                continue;
            }
            if (i >= line.size()) {
                *error = "a backslash ends the line";
                return false;
            }
            char e = line[i++];
            switch (e) {
            case '\\': token.value += '\\'; break;
            case '"': token.value += '"'; break;
            case 'r': token.value += '\r'; break;
            case 'n': token.value += '\n'; break;
            case 't': token.value += '\t'; break;
            case 'x': {
                int hi = i < line.size() ? HexValue(line[i]) : -1;
                int lo = i + 1 < line.size() ? HexValue(line[i + 1]) : -1;
                if (hi < 0 || lo < 0) {
                    *error = "\\x needs two hexadecimal digits";
                    return false;
                }
                token.value += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                *error = std::string("unknown escape \\") + e;
                return false;
            }
        }
        if (!closed) {
            *error = "unterminated text";
            return false;
        }
        if (i < line.size() && !isspace(static_cast<unsigned char>(line[i]))) {
            *error = "text followed by other characters";
            return false;
        }
        tokens->push_back(token);
    }
    return true;
}

bool IsNumber(const Token &t)
{
    if (t.quoted || t.value.empty() || t.value.size() > 9)
        return false;
    for (char c : t.value)
        if (!isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

const char *const kKeys[] = {"TAB", "SHIFT+TAB", "ENTER", "ESCAPE", "SPACE", "UP", "DOWN", "LEFT", "RIGHT"};

// The shape of each command's arguments: C control, T text, K key name,
// N number, W word, ? makes the next one optional, + one or more texts.
struct Shape {
    const char *verb;
    const char *args;
};

const Shape kShapes[] = {
    {"type", "CT"}, {"paste", "CT"}, {"click", "C"}, {"key", "K"}, {"drop", "+"},
    {"browse", "T"}, {"browse-cancel", ""}, {"wait-idle", "?N"}, {"fail", "W"},
    {"close", ""}, {"show", "C"}, {"status", "N"}, {"state", "C"},
    {"trace", ""}, {"messagebox", ""}, {"hold", "W"}, {"wait-held", "W?N"},
    {"release", "W"},
};

bool ParseCommand(const std::vector<Token> &tokens, const ControlName *names, ScriptCommand *command, std::string *error)
{
    const Shape *shape = nullptr;
    for (const Shape &s : kShapes)
        if (!tokens[0].quoted && tokens[0].value == s.verb)
            shape = &s;
    if (shape == nullptr) {
        *error = "unknown command \"" + tokens[0].value + "\"";
        return false;
    }
    command->verb = shape->verb;
    size_t next = 1;
    bool optional = false;
    for (const char *a = shape->args; *a; a++) {
        if (*a == '?') {
            optional = true;
            continue;
        }
        if (next >= tokens.size()) {
            if (optional || (*a == '+' && !command->args.empty()))
                break;
            *error = std::string("missing argument for ") + shape->verb;
            return false;
        }
        const Token &t = tokens[next];
        switch (*a) {
        case 'C': {
            const ControlName *found = nullptr;
            for (const ControlName *n = names; n->name != nullptr; n++)
                if (!t.quoted && t.value == n->name)
                    found = n;
            if (found == nullptr) {
                *error = "unknown control \"" + t.value + "\"";
                return false;
            }
            command->control = found->id;
            command->args.push_back(t.value);
            break;
        }
        case 'T':
        case '+':
            if (!t.quoted) {
                *error = "expected a double-quoted text, found \"" + t.value + "\"";
                return false;
            }
            command->args.push_back(t.value);
            if (*a == '+') {
                while (++next < tokens.size()) {
                    if (!tokens[next].quoted) {
                        *error = "expected a double-quoted text, found \"" + tokens[next].value + "\"";
                        return false;
                    }
                    command->args.push_back(tokens[next].value);
                }
                continue;
            }
            break;
        case 'K': {
            bool known = false;
            for (const char *k : kKeys)
                known = known || (!t.quoted && t.value == k);
            if (!known) {
                *error = "unknown key \"" + t.value + "\"";
                return false;
            }
            command->args.push_back(t.value);
            break;
        }
        case 'N':
            if (!IsNumber(t)) {
                *error = "expected a number, found \"" + t.value + "\"";
                return false;
            }
            command->number = strtol(t.value.c_str(), nullptr, 10);
            break;
        case 'W':
            if (t.quoted) {
                *error = "expected a name, found a text";
                return false;
            }
            command->args.push_back(t.value);
            break;
        }
        next++;
    }
    if (next < tokens.size()) {
        *error = "too many arguments for " + command->verb;
        return false;
    }
    return true;
}

}  // namespace

bool ParseScript(const std::string &script, const ControlName *names,
                 std::vector<ScriptCommand> *commands, std::string *error)
{
    std::istringstream in(script);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        number++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        std::vector<Token> tokens;
        std::string why;
        ScriptCommand command;
        command.line = number;
        if (Tokenize(line, &tokens, &why) && tokens.empty())
            continue;  // other white space only (a vertical tab, a form feed)
        if (!why.empty() || !ParseCommand(tokens, names, &command, &why)) {
            *error = "line " + std::to_string(number) + ": " + why + ": " + line;
            return false;
        }
        commands->push_back(std::move(command));
    }
    return true;
}

bool LoadScript(const char *program, const char *path, const ControlName *names,
                std::vector<ScriptCommand> *commands)
{
    std::string script;
    if (path != nullptr) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            fprintf(stderr, "%s: cannot read %s\n", program, path);
            return false;
        }
        script.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } else {
        script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
    std::string error;
    if (!ParseScript(script, names, commands, &error)) {
        fprintf(stderr, "%s: %s\n", program, error.c_str());
        return false;
    }
    return true;
}

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

void PrintLine(const std::string &line)
{
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

}  // namespace w32
