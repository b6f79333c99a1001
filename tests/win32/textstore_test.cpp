// A text box's store: appends that outgrow the block many times over, edits
// anywhere, and a text set afresh, always byte for byte what a string holds.
#include "user/textstore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextStore, AppendsKeepEveryByteAcrossManyGrowths)
{
    w32::TextStore store;
    std::string expected;
    EXPECT_EQ(store.View(), "");
    // Pieces of every length up to 16, to well past several growths of the block.
    for (size_t i = 0; expected.size() < (size_t{3} << 20); i++) {
        std::string piece(i % 17, static_cast<char>('a' + i % 26));
        piece += static_cast<char>(i);
        ASSERT_TRUE(store.Append(piece.data(), piece.size()));
        expected += piece;
    }
    EXPECT_EQ(store.size(), expected.size());
    EXPECT_TRUE(store.View() == expected);
}

TEST(TextStore, EditsAnywhereAndTextsSetAfresh)
{
    struct Edit {
        size_t at, count;
        std::string with;
    } const edits[] = {
        {0, 0, "start "},  // insert in front
        {6, 3, "X"},       // replace inside
        {2, 4, ""},        // delete inside
        {0, 0, std::string(5000, 'w')},  // an insert that grows the block
        {100, 4900, ""},   // a long delete
    };
    w32::TextStore store;
    std::string expected = "0123456789";
    ASSERT_TRUE(store.Assign(expected));
    for (const Edit &e : edits) {
        ASSERT_TRUE(store.Replace(e.at, e.count, e.with.data(), e.with.size()));
        expected.replace(e.at, e.count, e.with);
        ASSERT_TRUE(store.View() == expected) << "after the edit at " << e.at;
    }

    // A large text replaced by a short one, by its own tail, then by nothing.
    const std::string large(3 << 20, 'L');
    ASSERT_TRUE(store.Assign(large));
    ASSERT_TRUE(store.Append("tail", 4));
    ASSERT_TRUE(store.Assign(store.View().substr(large.size())));
    EXPECT_EQ(store.View(), "tail");
    ASSERT_TRUE(store.Assign("short"));
    EXPECT_EQ(store.View(), "short");
    ASSERT_TRUE(store.Assign(""));
    EXPECT_EQ(store.size(), 0u);
}

}  // namespace
