// Part ends and row keys: a key stands for a row and all its images in the
// other parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "ringing/part_end.h"
#include "ringing/row.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

TEST(PartEndTest, PartCountIsTheOrderOfThePartEnd) {
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

TEST(PartEndTest, RowKeyIsTheSmallestValueOverAllParts) {
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

TEST(PartEndTest, KeysOfProductsInOnePassAreThoseOfEachProduct) {
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

TEST(PartEndTest, PartEndsDifferExactlyWhenTheKeysChangeMeaning) {
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

TEST(PartEndTest, PartEndsOfOneRowShareTheirKeyTables) {
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
