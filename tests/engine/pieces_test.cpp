// The piece generator alone: formats, step order, decoding and HexToInt.
#include "engine/conversion.h"
#include "engine/pieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// Records the steps in order, and the text they give when every insert lands at the end.
struct Recorder {
    std::string text;        // the box's text if every insert lands at the end
    std::vector<std::string> steps;  // "^" for caret to end, else the piece
    bool keepSteps = true;
};

void Record(void *context, const char *piece)
{
    auto *r = static_cast<Recorder *>(context);
    if (r->keepSteps)
        r->steps.push_back(piece == nullptr ? "^" : piece);
    if (piece != nullptr)
        r->text += piece;
}

Recorder Listing(int mode, const std::vector<unsigned char> &bytes, bool keepSteps = true)
{
    Recorder r;
    r.keepSteps = keepSteps;
    GenerateListing(mode, bytes.data(), static_cast<uint32_t>(bytes.size()), Record, &r);
    return r;
}

std::vector<unsigned char> Range(int n)
{
    std::vector<unsigned char> v;
    for (int i = 0; i < n; i++)
        v.push_back(static_cast<unsigned char>(i));
    return v;
}

// An independent escape listing, straight from the format's definition.
std::string ReferenceEscapes(std::vector<unsigned char> bytes, bool reversed)
{
    if (reversed)
        std::reverse(bytes.begin(), bytes.end());
    std::string out;
    for (size_t j = 0; j < bytes.size(); j++) {
        if (j % 16 == 0)
            out += j == 0 ? "\"" : "\"\r\n\"";
        char piece[8];
        std::snprintf(piece, sizeof piece, "\\x%2.2x", bytes[j]);
        out += piece;
    }
    return out + "\"";
}

std::string ReferenceEmits(const std::vector<unsigned char> &bytes)
{
    std::string out;
    for (unsigned char b : bytes) {
        char piece[16];
        std::snprintf(piece, sizeof piece, "_emit 0x%2.2X\r\n", b);
        out += piece;
    }
    return out;
}

TEST(Listing, WorkedExamples)
{
    const std::vector<unsigned char> mz = {0x4D, 0x5A, 0x90};
    struct Case {
        int mode;
        std::vector<unsigned char> bytes;
        std::string text;
    } cases[] = {
        {ModeBigEndian, mz, "\"\\x4d\\x5a\\x90\""},
        {ModeLittleEndian, mz, "\"\\x90\\x5a\\x4d\""},
        {ModeAsm, mz, "_emit 0x4D\r\n_emit 0x5A\r\n_emit 0x90\r\n"},
        {ModeBigEndian, Range(17),
         "\"\\x00\\x01\\x02\\x03\\x04\\x05\\x06\\x07\\x08\\x09\\x0a\\x0b\\x0c\\x0d\\x0e\\x0f\"\r\n"
         "\"\\x10\""},
        {ModeLittleEndian, Range(17),
         "\"\\x10\\x0f\\x0e\\x0d\\x0c\\x0b\\x0a\\x09\\x08\\x07\\x06\\x05\\x04\\x03\\x02\\x01\"\r\n"
         "\"\\x00\""},
        // The whole sequence is reversed, not groups of bytes.
        {ModeLittleEndian, {1, 2, 3, 4, 5}, "\"\\x05\\x04\\x03\\x02\\x01\""},
        // Unsigned values, never sign-extended.
        {ModeBigEndian, {0x00, 0xFF}, "\"\\x00\\xff\""},
        {ModeAsm, {0x00, 0xFF}, "_emit 0x00\r\n_emit 0xFF\r\n"},
        {ModeAsm, {0x05}, "_emit 0x05\r\n"},
        // An empty buffer: an empty pair of quotes, or nothing at all.
        {ModeBigEndian, {}, "\"\""},
        {ModeLittleEndian, {}, "\"\""},
        {ModeAsm, {}, ""},
        // Unknown modes write nothing.
        {3, mz, ""},
        {-1, mz, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + ", " + std::to_string(c.bytes.size()) + " bytes");
        EXPECT_EQ(Listing(c.mode, c.bytes).text, c.text);
    }
}

TEST(Listing, SizesByCount)
{
    struct Row {
        int bytes, lines, escapeChars, emitChars;
    } rows[] = {
        {1, 1, 6, 12}, {3, 1, 14, 36}, {16, 1, 66, 192},
        {17, 2, 74, 204}, {32, 2, 134, 384}, {33, 3, 142, 396},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.bytes);
        for (int mode : {ModeBigEndian, ModeLittleEndian}) {
            std::string text = Listing(mode, Range(row.bytes)).text;
            EXPECT_EQ(text.size(), static_cast<size_t>(row.escapeChars));
            size_t breaks = 0;
            for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2))
                breaks++;
            EXPECT_EQ(breaks + 1, static_cast<size_t>(row.lines));
            EXPECT_NE(text.substr(text.size() - 2), "\r\n");
        }
        EXPECT_EQ(Listing(ModeAsm, Range(row.bytes)).text.size(), static_cast<size_t>(row.emitChars));
    }
}

TEST(Listing, StepOrderOfSeventeenBytes)
{
    std::vector<std::string> expected = {"^", "\"", "\\x00"};
    for (int b = 1; b <= 15; b++) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%2.2x", b);
        expected.push_back("^");
        expected.push_back(escape);
    }
    for (const char *s : {"^", "\"\r\n", "\"", "\\x10", "^", "\""})
        expected.push_back(s);
    EXPECT_EQ(Listing(ModeBigEndian, Range(17)).steps, expected);

    // The emit listing is one caret move and one line per byte.
    EXPECT_EQ(Listing(ModeAsm, {0x4D, 0x5A}).steps,
              (std::vector<std::string>{"^", "_emit 0x4D\r\n", "^", "_emit 0x5A\r\n"}));
}

TEST(Listing, MatchesAnIndependentFormatterOnRandomBuffers)
{
    std::mt19937 rng(20261211);
    for (int round = 0; round < 40; round++) {
        std::vector<unsigned char> bytes(rng() % 200);
        for (auto &b : bytes)
            b = static_cast<unsigned char>(rng());
        ASSERT_EQ(Listing(ModeBigEndian, bytes).text, ReferenceEscapes(bytes, false));
        ASSERT_EQ(Listing(ModeLittleEndian, bytes).text, ReferenceEscapes(bytes, true));
        ASSERT_EQ(Listing(ModeAsm, bytes).text, ReferenceEmits(bytes));
    }
}

TEST(Listing, SeveralMegabytesReversed)
{
    std::vector<unsigned char> bytes(5 * 1024 * 1024 + 7);
    std::mt19937 rng(7);
    for (auto &b : bytes)
        b = static_cast<unsigned char>(rng());
    std::string text = Listing(ModeLittleEndian, bytes, false).text;
    EXPECT_EQ(text.size(), 4 * bytes.size() + 4 * ((bytes.size() + 15) / 16) - 2);
    EXPECT_TRUE(text == ReferenceEscapes(bytes, true));
}

// A listing made in parts, cut at the given sizes (reversed parts are taken
// from the end, as a mapped file is read a window at a time).
Recorder ListingInParts(int mode, const std::vector<unsigned char> &bytes, const std::vector<size_t> &sizes)
{
    Recorder r;
    size_t listed = 0;
    for (size_t i = 0; i < sizes.size(); i++) {
        const size_t start = mode == ModeLittleEndian ? bytes.size() - listed - sizes[i] : listed;
        GenerateListingPart(mode, bytes.data() + start, static_cast<uint32_t>(sizes[i]), listed,
                            i + 1 == sizes.size(), Record, &r);
        listed += sizes[i];
    }
    return r;
}

TEST(Listing, PartsGiveTheStepsOfTheWhole)
{
    const std::vector<unsigned char> bytes = Range(50);
    const std::vector<std::vector<size_t>> cuts = {
        {50}, {16, 34}, {15, 35}, {17, 33}, {1, 15, 16, 1, 17}, {0, 50}, {50, 0}, {32, 0, 18},
    };
    for (int mode : {ModeBigEndian, ModeLittleEndian, ModeAsm}) {
        for (const auto &sizes : cuts) {
            SCOPED_TRACE("mode " + std::to_string(mode) + ", first part " + std::to_string(sizes[0]));
            EXPECT_EQ(ListingInParts(mode, bytes, sizes).steps, Listing(mode, bytes).steps);
        }
        // Nothing at all, as one empty last part.
        EXPECT_EQ(ListingInParts(mode, {}, {0}).steps, Listing(mode, {}).steps);
    }
}

std::vector<std::string> Decode(const std::string &text)
{
    Recorder r;
    GenerateDecoding(text.c_str(), text.size(), Record, &r);
    // Keep only the inserted pieces; each must follow one caret move.
    std::vector<std::string> pieces;
    for (size_t i = 0; i < r.steps.size(); i += 2) {
        EXPECT_EQ(r.steps[i], "^");
        pieces.push_back(r.steps[i + 1]);
    }
    return pieces;
}

std::string Joined(const std::vector<std::string> &pieces)
{
    std::string s;
    for (const auto &p : pieces)
        s += p;
    return s;
}

TEST(Decoding, PairsBecomeCharacters)
{
    struct Case {
        std::string text, decoded;
        size_t pairs;
    } cases[] = {
        {"48656c6c6f", "Hello", 5},
        {"48656C6C6F", "Hello", 5},
        {"414", "A\x04", 2},
        {"4G41", "A", 2},
        {"00", "", 1},
        {"0041", "A", 2},
        {"0a", "\n", 1},
        {"ff", "\xff", 1},
        {"4142\r\n4344", "ABCD", 5},
        {"414\r\n243", "AC", 4},
        {"41 42", "A\x02", 3},
        {"\"\\x41\\x42\"", "", 5},
        {"_emit 0x41\r\n_emit 0x00\r\n_emit 0x42\r\n", "AB", 18},
        // The trail byte of a double-byte character may be a digit.
        {"1\x81" "A2", "\xa2", 2},
        {"", "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> pieces = Decode(c.text);
        EXPECT_EQ(pieces.size(), c.pairs);
        EXPECT_EQ(Joined(pieces), c.decoded);
    }
}

TEST(Decoding, WholeTextIsDecoded)
{
    std::string text;
    for (int i = 0; i < 300; i++)
        text += "41";
    EXPECT_EQ(Joined(Decode(text)), std::string(300, 'A'));

    // An escape listing read back decodes to nothing; an emit listing to its bytes.
    std::vector<unsigned char> bytes = {0x10, 0x41, 0x00, 0xfe, 0x7f};
    EXPECT_EQ(Joined(Decode(Listing(ModeBigEndian, Range(40)).text)), "");
    EXPECT_EQ(Joined(Decode(Listing(ModeAsm, bytes).text)), "\x10\x41\xfe\x7f");
}

TEST(HexToInt, Values)
{
    struct Case {
        const char *text;
        int32_t value;
    } cases[] = {
        {"", 0}, {"f", 15}, {"F", 15}, {"10", 16}, {"1G", 0}, {"G1", 0},
        {"ff", 255}, {"7fffffff", 0x7fffffff}, {"FFFFFFFF", -1},
        {"100000000", 0}, {"123456789", 0x23456789}, {"4 ", 0}, {"\xb0", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexToInt(c.text), c.value);
    }
}

}  // namespace
