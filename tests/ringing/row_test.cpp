#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"
#include "ringing/part_end.h"
#include "ringing/row.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

class RowTest : public ::testing::Test {};

TEST_F(RowTest, DefaultRowIsRoundsAndPrintsWithLeadingBlank) {
    EXPECT_TRUE(Row().isRounds());
    EXPECT_EQ(Row().toSymbols(), " 12345678");
    EXPECT_EQ(Row().text(), "12345678");
    EXPECT_EQ(Row().value(), 342391u);
    EXPECT_EQ(row("13254768").value(), 575407u);
    EXPECT_EQ(row("87654321").value(), 16434824u);
}

TEST_F(RowTest, FromSymbolsRejectsWhatIsNoRow) {
    EXPECT_TRUE(Row::fromSymbols("123456789").has_value());  // characters beyond the eighth are ignored
    for (const char* text : {"", "1234567", "12345679", "1234567E", "11345678", "1234567x", "12 45678"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Row::fromSymbols(text).has_value());
    }
}

TEST_F(RowTest, ValueRoundTripsForEveryRow) {
    // Walk all 40320 rows through value, fromValue and rowIndex.
    std::array<std::uint8_t, 8> b{0, 1, 2, 3, 4, 5, 6, 7};
    std::vector<bool> seen(RowIndexCount, false);
    int count = 0;
    do {
        const Row r(b);
        const auto back = Row::fromValue(r.value());
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(*back, r);
        const int index = rowIndex(r);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, RowIndexCount);
        ASSERT_FALSE(seen[static_cast<std::size_t>(index)]) << r.text();
        seen[static_cast<std::size_t>(index)] = true;
        ASSERT_EQ(rowIndex(RowKey{r.value()}), index);
        ASSERT_EQ(index, count) << "rows in value order have rising indexes";
        ASSERT_EQ(rowOfIndex(index), r);
        ++count;
    } while (std::next_permutation(b.begin(), b.end()));
    EXPECT_EQ(count, RowIndexCount);
}

TEST_F(RowTest, ValuesOfNoRowAreRefused) {
    EXPECT_FALSE(Row::fromValue(0).has_value());
    EXPECT_FALSE(Row::fromValue(1u << 24).has_value());
    EXPECT_EQ(rowIndex(RowKey{0}), -1);
    EXPECT_EQ(rowIndex(RowKey{0xFFFFFFFFu}), -1);
    EXPECT_EQ(rowIndex(RowKey{row("12345678").value() + 1}), -1);
}

TEST_F(RowTest, TimesTransposes) {
    // The lead end of a lead with lead head 13527486 and code B.
    EXPECT_EQ(row("13527486").times(row("15372846")), row("17583624"));
    Row r = row("15372846");
    r = r;
    EXPECT_EQ(r, row("15372846"));
}

}  // namespace
}  // namespace quarnel
