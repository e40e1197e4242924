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

TEST_F(RowTest, LeadEndTableRows) {
    auto check = [](std::string_view start, std::string_view key, std::string_view expected) {
        SCOPED_TRACE(std::string(start) + " by " + std::string(key));
        EXPECT_EQ(row(start).transposedBy(key), row(expected));
    };
    check("12345678", "B", "15372846");
    check("15372846", "12", "15738264");
    check("12345678", "G", "15372846");
    check("15372846", "18", "13527486");
    check("13254768", "14", "12357486");  // a bob after A
    check("13254768", "s", "13257486");   // a single after A
    check("12436587", "14", "14235678");  // a bob after M
    check("13527486", "B", "17583624");
    check("17583624", "12", "17856342");
    check("17583624", "14", "15786342");
    EXPECT_EQ(Row().transposedBy("A"), Row().transposedBy("18"));
    EXPECT_EQ(Row().transposedBy("M"), Row().transposedBy("12"));
    EXPECT_TRUE(LeadEndTable::isBuilt());
}

TEST_F(RowTest, KeysTheTableDoesNotHoldAreBadLeadEndGroups) {
    for (const char* key : {"I", "Q", "Z", "a", "b", "", "*", "13", "AB"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(LeadEndTable::lookup(key), nullptr);
        EXPECT_THROW_MSG(Row().transposedBy(key), ModelError, "Bad lead end group");
    }
    EXPECT_EQ(leadEndRowOf('b'), LeadEndTable::lookup("B"));
    EXPECT_EQ(leadEndRowOf('i'), nullptr);
    EXPECT_EQ(leadEndRowOf('*'), nullptr);
}

TEST_F(RowTest, PlainLeadsOfEveryCodeFromRounds) {
    const std::pair<char, const char*> cases[] = {{'A', "13527486"}, {'B', "15738264"}, {'C', "17856342"},
                                                  {'D', "18674523"}, {'E', "16482735"}, {'F', "14263857"},
                                                  {'G', "13527486"}, {'H', "15738264"}, {'J', "17856342"},
                                                  {'K', "18674523"}, {'L', "16482735"}, {'M', "14263857"}};
    for (const auto& [code, next] : cases) {
        SCOPED_TRACE(code);
        const Row leadEnd = Row().transposedBy(std::string(1, code));
        EXPECT_EQ(leadEnd.transposedBy(plainLeadEnd(code)), row(next));
    }
}

TEST_F(RowTest, SevenPlainLeadsOfBComeRound) {
    const char* heads[] = {"15738264", "18674523", "14263857", "13527486", "17856342", "16482735", "12345678"};
    Row r;
    for (const char* expected : heads) {
        r = r.transposedBy("B").transposedBy("12");
        EXPECT_EQ(r, row(expected));
    }
}

TEST_F(RowTest, PartCountIsTheOrderOfThePartEnd) {
    EXPECT_EQ(PartEnd().count(), 0);
    const PartEnd rounds{Row()};
    EXPECT_EQ(rounds.count(), 1);
    EXPECT_EQ(rowKey(rounds, Row()).value, 342391u);
    EXPECT_EQ(rowKey(rounds, row("87654321")).value, row("87654321").value());
    EXPECT_EQ(PartEnd(row("15738264")).count(), 7);
    EXPECT_EQ(PartEnd(row("12345687")).count(), 2);
    // A 3-cycle and a 5-cycle: the longest order there is.
    EXPECT_EQ(PartEnd(row("23156784")).count(), 15);
}

TEST_F(RowTest, RowKeyIsTheSmallestValueOverAllParts) {
    // Twice round more part ends than the key tables kept: the second time
    // some are found kept and the others built again in a slot used before.
    for (int round = 0; round < 2; ++round)
    for (const char* end : {"12345678", "15738264", "12345687", "23145678", "13425678", "21436587", "23154867", "23156784"}) {
        SCOPED_TRACE(end);
        const PartEnd partEnd(row(end));
        for (const char* text : {"12345678", "87654321", "13572468", "56781234", "21436587", "18273645"}) {
            const Row r = row(text);
            std::uint32_t smallest = r.value();
            Row image = r;
            for (int k = 1; k < partEnd.count(); ++k) {
                image = partEnd.row().times(image);
                smallest = std::min(smallest, image.value());
            }
            EXPECT_EQ(rowKey(partEnd, r).value, smallest) << text;
            EXPECT_EQ(rowKey(partEnd, partEnd.row().times(r)), rowKey(partEnd, r)) << text;
            const auto back = Row::fromValue(r.value());
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(partEnd.onePartOn(*back), partEnd.row().times(r));
        }
        // Every row, and the index that comes with its key.
        std::array<std::uint8_t, BellCount> bells{0, 1, 2, 3, 4, 5, 6, 7};
        const Row leadHead = row("15372846");
        int wrong = 0;
        do {
            const Row r(bells);
            std::uint32_t smallest = r.value();
            for (Row image = partEnd.row().times(r); image != r; image = partEnd.row().times(image))
                smallest = std::min(smallest, image.value());
            int index = -1;
            const RowKey key = rowKey(partEnd, r, index);
            if (key.value != smallest || rowKey(partEnd, r) != key || index != rowIndex(key)) ++wrong;
            // The key of a product, as the lead's rows are keyed from its lead head.
            int productIndex = -1;
            const RowKey product = rowKeyOfProduct(partEnd, leadHead, r, productIndex);
            if (product != rowKey(partEnd, leadHead.times(r)) || productIndex != rowIndex(product)) ++wrong;
        } while (std::next_permutation(bells.begin(), bells.end()) && wrong < 5);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(RowTest, KeysOfProductsInOnePassAreThoseOfEachProduct) {
    std::vector<Row> rows;
    std::array<std::uint8_t, BellCount> bells{0, 1, 2, 3, 4, 5, 6, 7};
    do rows.emplace_back(bells);
    while (std::next_permutation(bells.begin(), bells.end()));
    const auto count = static_cast<int>(rows.size());
    std::vector<RowKey> keys(rows.size()), portableKeys(rows.size());
    std::vector<std::uint16_t> indexes(rows.size()), portableIndexes(rows.size());
    const auto check = [&](const char* end, const char* start) {
        SCOPED_TRACE(std::string(end) + " from " + start);
        const PartEnd partEnd(row(end));
        const Row s = row(start);
        rowKeysOfProducts(partEnd, s, rows.data(), count, keys.data(), indexes.data());
        detail::rowKeysOfProductsPortable(partEnd, s, rows.data(), count, portableKeys.data(), portableIndexes.data());
        int wrong = 0;
        for (std::size_t i = 0; i < rows.size() && wrong < 5; ++i) {
            int index = -1;
            const RowKey key = rowKeyOfProduct(partEnd, s, rows[i], index);
            if (keys[i] != key || indexes[i] != index || portableKeys[i] != key || portableIndexes[i] != index) ++wrong;
        }
        EXPECT_EQ(wrong, 0);
    };
    check("12345678", "12345678");
    check("12345678", "87654321");
    check("15738264", "15372846");
    check("23156784", "64827153");
    check("21436587", "13527486");
}

TEST_F(RowTest, PartEndsDifferExactlyWhenTheKeysChangeMeaning) {
    struct Step {
        const char* partEnd;  // nullptr: no part end
        bool changes;
    };
    const Step steps[] = {{"12345678", true}, {"12345678", false}, {"15738264", true}, {"15738264", false},
                          {nullptr, true},     {nullptr, false},    {"15738264", true}};
    PartEnd previous;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.partEnd ? step.partEnd : "none");
        const PartEnd current = step.partEnd ? PartEnd(row(step.partEnd)) : PartEnd();
        EXPECT_EQ(current != previous, step.changes);
        previous = current;
    }
    EXPECT_EQ(previous.count(), 7);
    EXPECT_EQ(rowKey(previous, row("15738264")), rowKey(previous, Row()));
}

TEST_F(RowTest, PartEndsOfOneRowShareTheirKeyTables) {
    const PartEnd seven(row("15738264"));
    const PartEnd copy = seven;
    EXPECT_EQ(copy.keyTables(), seven.keyTables());
    EXPECT_EQ(PartEnd(row("15738264")).keyTables(), seven.keyTables());
    EXPECT_NE(PartEnd(row("12345687")).keyTables(), seven.keyTables());
    // One part needs no tables: a key is the row's value.
    EXPECT_EQ(PartEnd(Row()).keyTables(), nullptr);
    EXPECT_EQ(PartEnd().keyTables(), nullptr);
}

}  // namespace
}  // namespace quarnel
