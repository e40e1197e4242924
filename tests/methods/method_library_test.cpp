#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "methods/major_method.h"
#include "methods/method_library.h"
#include "ringing/lead_end_table.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

MethodLibrary libraryFrom(const std::string& content, std::string_view suffix = " S") {
    MethodLibrary library;
    std::istringstream in(content);
    library.readLibraryFile(in, suffix);
    return library;
}

const std::string Header = "S8 - title\nsource line\n";

TEST(MethodLibraryTest, ReadsMethodLinesAfterTwoSkippedLines) {
    const MethodLibrary library = libraryFrom(Header + "Cambridge b &-3-4-25-36-4-5-6-7\nW b &-5-6\n");
    EXPECT_EQ(library.size(), 2u);
    EXPECT_EQ(library.notationOf("Cambridge S"), "b&-3-4-25-36-4-5-6-7");
    EXPECT_EQ(library.nameOf("b&-3-4-25-36-4-5-6-7"), "Cambridge S");
    EXPECT_EQ(library.notationOf("W S"), "b&-5-6");
    EXPECT_EQ(library.notationOf("Cambridge"), "");
    EXPECT_EQ(library.nameOf("b&-3"), "");
    EXPECT_EQ(libraryFrom("Cambridge b &-3\nYorkshire b &-3-4\n").size(), 0u);
    EXPECT_EQ(libraryFrom("").size(), 0u);
}

TEST(MethodLibraryTest, ListEndsAtTheFirstLineWithoutABlank) {
    const MethodLibrary library = libraryFrom(Header + "A b &-3\n\nB b &-4\n");
    EXPECT_EQ(library.size(), 1u);
    EXPECT_EQ(libraryFrom(Header + "A b &-3\nnoblank\nB b &-4\n").size(), 1u);
}

TEST(MethodLibraryTest, LittleMethodsAndRepeatedNamesAreLeftOut) {
    for (std::string_view suffix : {" S", " D", " TB"}) {
        const MethodLibrary library = libraryFrom(
            Header + "Bristollittle m &-5\nLittleton b &-3\nlittlefield c &-4\nSame b &-3-4\nSame c &-5-6\n", suffix);
        EXPECT_EQ(library.notationOf("Bristollittle" + std::string(suffix)), "");
        EXPECT_EQ(library.notationOf("Littleton" + std::string(suffix)), "b&-3");
        EXPECT_EQ(library.notationOf("littlefield" + std::string(suffix)), "c&-4");
        EXPECT_EQ(library.notationOf("Same" + std::string(suffix)), "b&-3-4");
        EXPECT_EQ(library.nameOf("c&-5-6"), "");
    }
}

TEST(MethodLibraryTest, SharedNotationKeepsTheLaterName) {
    const MethodLibrary library = libraryFrom(Header + "First b &-3\nSecond b &-3\n");
    EXPECT_EQ(library.nameOf("b&-3"), "Second S");
    EXPECT_EQ(library.notationOf("First S"), "b&-3");
}

TEST(MethodLibraryTest, MalformedLinesAreSkippedNotFatal) {
    const std::string longLine = "Long b &" + std::string(250, '-');
    const MethodLibrary library =
        libraryFrom(Header + "A b &-3\r\n" + longLine + "\nShort \nB c &-4\r\nC\x01\xff d &-5\n");
    EXPECT_EQ(library.notationOf("A S"), "b&-3");  // the carriage return is dropped
    EXPECT_EQ(library.notationOf("Long S"), "");   // longer than 199 characters
    EXPECT_EQ(library.notationOf("Short S"), "");  // nothing after the blank
    EXPECT_EQ(library.notationOf("B S"), "c&-4");
    EXPECT_EQ(library.notationOf("C\x01\xff S"), "d&-5");
}

TEST(MethodLibraryTest, NextNamedWalksOneCodeInByteOrder) {
    MethodLibrary library = libraryFrom(Header + "S1 b &-3\nS2 b &-5\nS3 c &-3\n");
    std::istringstream d(Header + "D1 b &-4\n");
    library.readLibraryFile(d, " D");
    std::istringstream t(Header + "T1 b &-56\n");
    library.readLibraryFile(t, " TB");

    EXPECT_EQ(library.nextNamed("b", 'b', true, false, false), "b&-3");
    EXPECT_EQ(library.nextNamed("b&-3", 'b', true, false, false), "b&-5");
    EXPECT_EQ(library.nextNamed("b&-5", 'b', true, false, false), "");  // never strays into code c
    EXPECT_EQ(library.nextNamed("b", 'B', false, true, false), "b&-4");
    EXPECT_EQ(library.nextNamed("b", 'b', false, false, true), "b&-56");
    EXPECT_EQ(library.nextNamed("b", 'b', false, false, false), "");
    EXPECT_EQ(library.nextNamed("a", 'a', true, true, true), "");
}

TEST(MethodLibraryTest, ClearForgetsEveryMethodAndReadsAgain) {
    MethodLibrary library = libraryFrom(Header + "Cambridge b &-3-4-25-36-4-5-6-7\n");
    library.clear();
    EXPECT_EQ(library.size(), 0u);
    EXPECT_EQ(library.notationOf("Cambridge S"), "");
    EXPECT_EQ(library.nameOf("b&-3-4-25-36-4-5-6-7"), "");
    library.addMethod("b&-3-4-25-36-4-5-6-7", "Cambridge S", "Cambridge");
    EXPECT_EQ(library.nameOf("b&-3-4-25-36-4-5-6-7"), "Cambridge S");
}

// The small libraries the tests use must agree, method by method, with the
// full collections the program ships.
TEST(MethodLibraryTest, SmallLibrariesAgreeWithTheShippedCollections) {
    const MethodLibrary& full = test::libraryIn(test::fullMethodsDir());
    for (const std::string& folder : {test::starterMethodsDir(), test::standardMethodsDir()}) {
        SCOPED_TRACE(folder);
        const MethodLibrary& small = test::libraryIn(folder);
        EXPECT_GE(small.size(), 38u);
        for (const auto& [name, notation] : small.byName()) EXPECT_EQ(full.notationOf(name), notation) << name;
    }
    MethodLibrary shipped;
    EXPECT_EQ(readLibraryFiles(shipped, test::repoDataDir()), 3);
    EXPECT_EQ(shipped.size(), 5885u + 1681u + 137u);
    for (const char* name : {"Cambridge S", "Yorkshire S", "Lincolnshire S", "Superlative S", "Bristol S",
                             "Pudsey S", "Rutland S", "London S"})
        EXPECT_NE(shipped.notationOf(name), "") << name;
}

TEST(MethodLibraryTest, EveryMethodOfTheFullCollectionsEndsInItsCodesLeadEnd) {
    MethodLibrary full;
    ASSERT_EQ(readLibraryFiles(full, test::fullMethodsDir()), 3);
    EXPECT_EQ(full.size(), 5885u + 1681u + 137u);
    for (const auto& [name, notation] : full.byName()) {
        const MajorMethod m(name, full);
        ASSERT_TRUE(m.hasNotation()) << name;
        const Row* leadEnd = leadEndRowOf(m.code());
        ASSERT_NE(leadEnd, nullptr) << name;
        EXPECT_EQ(m.row(31), *leadEnd) << name;
        EXPECT_EQ(m.notationText(), notation) << name;
        EXPECT_EQ(m.name(), name);
    }
}

}  // namespace
}  // namespace quarnel
