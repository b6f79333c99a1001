// bytescribe-cli against the window: one table of inputs, each listed and
// decoded by the command line (from a file and from a pipe) and by the real
// dialog played through the headless driver, compared byte for byte; then
// the command line's errors and their exit statuses.
#include "process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace {

const std::string kCli = BYTESCRIBE_CLI;
const std::string kDrive = BYTESCRIBE_DRIVE;

class Scratch {
public:
    Scratch()
    {
        char pattern[] = "/tmp/bytescribe-cli-test.XXXXXX";
        path_ = mkdtemp(pattern);
        chmod(path_.c_str(), 0755);  // another user must reach the files in it
    }
    ~Scratch() { std::filesystem::remove_all(path_); }

    std::string Write(const std::string &name, const std::string &bytes) const
    {
        const std::string path = path_ + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    const std::string &Path() const { return path_; }

private:
    std::string path_;
};

std::string Random(size_t n, unsigned seed, const char *alphabet = nullptr)
{
    std::mt19937 rng(seed);
    std::string bytes(n, '\0');
    for (char &c : bytes)
        c = alphabet ? alphabet[rng() % strlen(alphabet)] : static_cast<char>(rng());
    return bytes;
}

std::string EveryByte()
{
    std::string bytes;
    for (int b = 0; b < 256; b++)
        bytes += static_cast<char>(b);
    return bytes;
}

// The inputs that the listings run on.
const std::map<std::string, std::string> &ListingInputs()
{
    static const std::map<std::string, std::string> inputs = {
        {"empty", ""},
        {"one", "\x90"},
        {"fifteen", Random(15, 1)},
        {"sixteen", Random(16, 2)},
        {"seventeen", Random(17, 3)},
        {"every-byte", EveryByte()},
        {"hundred-thousand", Random(100000, 4)},
        {"beyond-two-blocks", Random(600000, 7)},  // the command line reads 256 KiB at a time
    };
    return inputs;
}

// The texts that the decoding runs on (a box holds no zero byte).
const std::map<std::string, std::string> &DecodingInputs()
{
    static const std::map<std::string, std::string> inputs = {
        {"empty", ""},
        {"hello", "48656c6c6f"},
        {"upper", "48656C6C6F"},
        {"odd", "414"},
        {"lone-digit", "7"},
        {"non-digit", "4G41"},
        {"space", "41 42"},
        {"crlf-even", "4142\r\n4344"},
        {"crlf-odd", "414\r\n243"},
        {"lf-alone", "414\n243\n"},
        {"cr-alone", "41\r42\r"},
        {"zeros-and-high", "00410aff80"},
        {"double-byte", "\xb0\xa1" "41\xb0" "A2"},
        {"escapes-read-back", "\"\\x41\\x42\"\r\n\"\\x43\""},
        {"emits-read-back", "_emit 0x41\r\n_emit 0x00\r\n_emit 0xFE\r\n"},
        {"hundred-thousand-odd", Random(100001, 5, "0123456789abcdefABCDEF")},
        {"beyond-two-blocks-odd", Random(600001, 8, "0123456789abcdef\r\n x")},
    };
    return inputs;
}

struct Mode {
    const char *option;
    const char *radio;
};
const Mode kModes[] = {
    {"--big-endian", "IDC_BIG_ENDIAN"},
    {"--little-endian", "IDC_LITTLE_ENDIAN"},
    {"--asm", "IDC_ASM"},
};

std::string Quoted(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text = "\"";
    for (unsigned char c : bytes)
        text += std::string("\\x") + digits[c >> 4] + digits[c & 15];
    return text + "\"";
}

std::string Unhex(const std::string &hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Plays the script through the driver; the texts of its show commands, in order.
std::vector<std::string> Drive(const Scratch &scratch, const std::string &script)
{
    const std::string path = scratch.Write("script.drive", script + "close\n");
    ProcessResult run = RunProcess({kDrive, path}, "");
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> shown;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("IDC_", 0) == 0)
            shown.push_back(Unhex(line.substr(line.find(' ') + 1)));
    }
    return shown;
}

std::string WithoutCr(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

// The command line on the same bytes three ways: the file by name, the file
// named as standard input's "-" with the bytes through a pipe, and nothing
// named; each must give the window's text.
void ExpectCliGives(const std::vector<std::string> &options, const std::string &path,
                    const std::string &bytes, const std::string &expected)
{
    std::vector<std::string> byName = {kCli};
    byName.insert(byName.end(), options.begin(), options.end());
    std::vector<std::string> byPipe = byName;
    std::vector<std::string> byDash = byName;
    byName.push_back(path);
    byDash.push_back("-");
    for (const auto &[argv, input] : {std::pair{byName, std::string()}, std::pair{byPipe, bytes},
                                      std::pair{byDash, bytes}}) {
        SCOPED_TRACE(argv.size() > options.size() + 1 ? argv.back() : "(no file)");
        ProcessResult run = RunProcess(argv, input);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(run.out == expected) << "got " << run.out.size() << " bytes, the window "
                                         << expected.size();
    }
}

TEST(CliAgainstWindow, ListingsOfEachInputInEachMode)
{
    Scratch scratch;
    std::string script;
    std::vector<std::pair<const Mode *, std::string>> order;
    for (const Mode &mode : kModes) {
        script += std::string("click ") + mode.radio + "\n";
        for (const auto &[name, bytes] : ListingInputs()) {
            script += "type IDC_PATH " + Quoted(scratch.Write(name, bytes)) + "\n";
            script += "click IDC_CONVERT\nwait-idle\nshow IDC_OUTPUT\n";
            order.emplace_back(&mode, name);
        }
    }
    const std::vector<std::string> shown = Drive(scratch, script);
    ASSERT_EQ(shown.size(), order.size());

    for (size_t i = 0; i < order.size(); i++) {
        const auto &[mode, name] = order[i];
        SCOPED_TRACE(std::string(mode->option) + " " + name);
        const std::string path = scratch.Path() + "/" + name;
        const std::string &bytes = ListingInputs().at(name);
        // Only the emit listing of nothing is empty; the escape listings give "".
        EXPECT_EQ(shown[i].empty(), bytes.empty() && mode == &kModes[2]);
        ExpectCliGives({mode->option}, path, bytes, shown[i]);
        ExpectCliGives({mode->option, "--lf"}, path, bytes, WithoutCr(shown[i]));
    }
    // The default is the window's default choice.
    const size_t forward = std::find(order.begin(), order.end(), std::pair{&kModes[0], std::string("seventeen")}) -
                           order.begin();
    ExpectCliGives({}, scratch.Path() + "/seventeen", ListingInputs().at("seventeen"), shown[forward]);
}

TEST(CliAgainstWindow, DecodingOfEachText)
{
    Scratch scratch;
    // The input box is opened for typing, emptied before each decoding; the
    // path and input boxes stay empty, so Convert decodes the output box.
    std::string script = "click IDC_ASCII\n";
    std::vector<std::string> order;
    for (const auto &[name, text] : DecodingInputs()) {
        scratch.Write(name, text);
        script += "type IDC_TEXT \"\"\ntype IDC_OUTPUT " + Quoted(text) + "\n";
        script += "click IDC_CONVERT\nwait-idle\nshow IDC_TEXT\n";
        order.push_back(name);
    }
    const std::vector<std::string> shown = Drive(scratch, script);
    ASSERT_EQ(shown.size(), order.size());

    for (size_t i = 0; i < order.size(); i++) {
        SCOPED_TRACE("--decode " + order[i]);
        ExpectCliGives({"--decode"}, scratch.Path() + "/" + order[i], DecodingInputs().at(order[i]), shown[i]);
    }
    EXPECT_EQ(shown[std::find(order.begin(), order.end(), "hello") - order.begin()], "Hello");
}

TEST(CliReversed, FileThroughSeveralViewsFromItsEnd)
{
    // Views of 16 MiB are taken from the file's end: this file needs two,
    // the first one short. Its reversed listing is the forward listing of the
    // bytes reversed, which streams through another path.
    Scratch scratch;
    std::string bytes = Random((16 << 20) + 100003, 9);
    const std::string path = scratch.Write("large", bytes);
    std::reverse(bytes.begin(), bytes.end());
    const std::string reversedPath = scratch.Write("large-reversed", bytes);
    ProcessResult mapped = RunProcess({kCli, "--little-endian", path}, "");
    ProcessResult streamed = RunProcess({kCli, "--big-endian", reversedPath}, "");
    EXPECT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_EQ(mapped.out.size(), 4 * bytes.size() + 4 * ((bytes.size() + 15) / 16) - 2);
    EXPECT_TRUE(mapped.out == streamed.out);
}

// Runs the command line, as another user when the test runs as root (whom
// no file's permissions stop).
ProcessResult RunCli(const std::vector<std::string> &args, const OutputTo &output = {}, bool asAnotherUser = false)
{
    std::vector<std::string> argv;
    if (asAnotherUser && geteuid() == 0)
        argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    argv.push_back(kCli);
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, "", output);
}

TEST(CliErrors, OneLineAndAStatus)
{
    Scratch scratch;
    const std::string big = scratch.Write("big", Random(1 << 20, 6));
    const std::string locked = scratch.Write("locked", "abc");
    chmod(locked.c_str(), 0);
    const std::string missing = scratch.Path() + "/missing";
    const struct {
        std::vector<std::string> args;
        OutputTo output;
        bool asAnotherUser;
        int status;
        std::string err;
    } cases[] = {
        {{missing}, {}, false, 1, missing + ": no such file"},
        {{"--decode", missing + "/below"}, {}, false, 1, missing + "/below: no such file"},
        {{scratch.Path()}, {}, false, 1, scratch.Path() + ": is a folder"},
        {{"--asm", locked}, {}, true, 1, locked + ": permission denied"},
        {{"--little-endian", "/proc/self/mem"}, {}, false, 1, "/proc/self/mem: read error (error 5)"},
        {{"--frobnicate"}, {}, false, 2, "--frobnicate: unknown option (see --help)"},
        {{big, big}, {}, false, 2, big + ": one input at most"},
        {{"--asm", "--decode", big}, {}, false, 2,
         "--decode: only one of --big-endian, --little-endian, --asm, --decode"},
        {{"--decode", "--lf", big}, {}, false, 2, "--lf: the decoding writes bytes, not lines"},
        {{big}, {OutputTo::ClosedPipe, ""}, false, 3, "standard output: the pipe's reading end is closed"},
        {{"--little-endian", big}, {OutputTo::ClosedPipe, ""}, false, 3,
         "standard output: the pipe's reading end is closed"},
        {{"--asm", big}, {OutputTo::File, "/dev/full"}, false, 3, "standard output: no space left on the device"},
        {{"--help"}, {OutputTo::File, "/dev/full"}, false, 3, "standard output: no space left on the device"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.back());
        ProcessResult run = RunCli(c.args, c.output, c.asAnotherUser);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, "bytescribe-cli: " + c.err + "\n");
        EXPECT_EQ(run.out, "");
    }
}

TEST(CliErrors, InputIsNeverWritten)
{
    // A read-only file, which the window cannot convert, lists in every mode
    // and keeps its bytes and its time of last change.
    Scratch scratch;
    const std::string path = scratch.Write("read-only", "MZ\x90");
    chmod(path.c_str(), 0444);
    const auto before = std::filesystem::last_write_time(path);
    const struct {
        const char *option, *text;
    } cases[] = {
        {"--big-endian", "\"\\x4d\\x5a\\x90\""},
        {"--little-endian", "\"\\x90\\x5a\\x4d\""},
        {"--asm", "_emit 0x4D\r\n_emit 0x5A\r\n_emit 0x90\r\n"},
        {"--decode", ""},
    };
    for (const auto &c : cases) {
        ProcessResult run = RunCli({c.option, path});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.text);
    }
    EXPECT_EQ(std::filesystem::last_write_time(path), before);
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "MZ\x90");
}

TEST(CliHelp, HelpAndVersion)
{
    ProcessResult help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: bytescribe-cli ", 0), 0u);
    for (const char *documented : {"--little-endian", "--decode", "--lf", "Exit status"})
        EXPECT_NE(help.out.find(documented), std::string::npos) << documented;
    ProcessResult version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("bytescribe-cli ", 0), 0u);
}

}  // namespace
