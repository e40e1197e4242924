#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "composition/composition.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

std::string textExport(const Composition& c) {
    std::ostringstream out;
    c.exportText(out);
    return out.str();
}

std::string microSiril(const Composition& c) {
    std::ostringstream out;
    c.exportMicroSiril(out);
    return out.str();
}

using test::expectGolden;
using test::lines;

TEST(ExportTest, TwoLeadsThreePartsFollowTheWorkedExample) {
    const auto c = test::composition(test::readFile(test::testDataDir() + "/two_leads_three_parts.txt"));
    ASSERT_EQ(c->partCount(), 3);
    const std::string siril = microSiril(*c);
    const std::vector<std::string> expected = {
        "8 bells",
        "peal = ppart, 2part,\"\",\" 3-part\"",
        "ppart = \"192 Quarnel Major\",\" @ \\\",",
        "p1,p2",
        "part = m1,m2",
        "p1=m1,\"B Cambridge S\",\"-@ \\\"",
        "m1=&-3-4-25-36-4-5-6-7,+14",
        "p2=m2,\"C Adelaide S\",\" @ \\\"",
        "m2=&-5-4-56-36-4-5.36-36.1,+12"};
    EXPECT_EQ(lines(siril), expected);
    EXPECT_NE(siril.back(), '\n');  // no line end after the last definition
    expectGolden(siril, "two_leads_three_parts.maj");
    expectGolden(textExport(*c), "two_leads_three_parts.export.txt");
    EXPECT_EQ(lines(textExport(*c)), (std::vector<std::string>{" 12345678 B- Cambridge S", " 13578264 C  Adelaide S", " 16482573"}));
}

TEST(ExportTest, PeakLineForOneAndTwoParts) {
    const auto onePart = test::composition("B  Cambridge S\nB\nB\nB\nB\nB\nB\n");
    ASSERT_EQ(onePart->partCount(), 1);
    EXPECT_EQ(lines(microSiril(*onePart))[1], "peal = ppart");
    EXPECT_EQ(lines(microSiril(*onePart))[2], "ppart = \"224 Quarnel Major\",\" @ \\\",");
    const auto twoParts = test::composition("Ms\n");
    ASSERT_EQ(twoParts->partCount(), 2);
    EXPECT_EQ(lines(microSiril(*twoParts))[1], "peal = ppart, part,\"\",\" 2-part\"");
}

TEST(ExportTest, LongListsBreakAfterEveryTenthEntry) {
    // Leads without methods still get their names and their definitions.
    const std::string text = "B-\nF\nB-\nB\nB\nF\nBs\nB\nB\nFs\nB\nB\nB\nBs\nB-\nF-\nB-\nB\nB\nB\nB-\nBs\nBs\n";
    const auto c = test::composition(text);
    const auto all = lines(microSiril(*c));
    EXPECT_EQ(all[3], "p1,p2,p3,p4,p5,p6,p7,p8,p9,p10,");
    EXPECT_EQ(all[4], "p11,p12,p13,p14,p15,p16,p17,p18,p19,p20,");
    EXPECT_EQ(all[5], "p21,p22,p23");
    EXPECT_EQ(all[6], "part = m1,m2,m3,m4,m5,m6,m7,m8,m9,m10,");
    EXPECT_EQ(all[7], "m11,m12,m13,m14,m15,m16,m17,m18,m19,m20,");
    EXPECT_EQ(all[8], "m21,m22,m23");
    EXPECT_EQ(all[9], "p1=m1");
    EXPECT_EQ(all[10], "m1=");
    EXPECT_EQ(all.back(), "m23=");
}

TEST(ExportTest, UnnamedMethodsPrintTheirChanges) {
    const auto c = test::composition("B  b&-3-4-2-3-4-5-6-7\n");
    ASSERT_NE(c->committedMethodAt(1), nullptr);
    const auto all = lines(microSiril(*c));
    EXPECT_EQ(all[5], "p1=m1,\"B -3-4-2-3-4-5-6-7\",\" @ \\\"");
    EXPECT_EQ(all[6], "m1=&-3-4-2-3-4-5-6-7,+12");
    const auto far = test::composition("G  Glasgow S\n");
    EXPECT_EQ(lines(microSiril(*far))[6], "m1=&36-56.4.5-5.36-4-3.6-6.3,+18");
}

TEST(ExportTest, EmptyCompositionExportsNoText) {
    const auto c = test::composition("");
    EXPECT_EQ(textExport(*c), "");
    EXPECT_EQ(microSiril(*c), "8 bells\npeal = ppart\nppart = \"0 Quarnel Major\",\" @ \\\",\n\npart = ");
}

TEST(ExportTest, SampleCompositionCountsAllItsChanges) {
    const auto c = test::composition(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    const auto all = lines(microSiril(*c));
    EXPECT_EQ(all[2], "ppart = \"" + std::to_string(5 * 32 * 8) + " Quarnel Major\",\" @ \\\",");
    expectGolden(microSiril(*c), "quarnel.maj");
    expectGolden(textExport(*c), "quarnel.export.txt");
}

}  // namespace
}  // namespace quarnel
