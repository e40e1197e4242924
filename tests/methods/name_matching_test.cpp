#include <gtest/gtest.h>

#include "methods/name_matching.h"

namespace quarnel {
namespace {

TEST(MethodNameIndexTest, FindsWhatARingerTypes) {
    MethodLibrary library;
    library.addMethod("b&-3-4-25-36-4-5-6-7", "Cambridge S", "Cambridge");
    library.addMethod("b&1", "Bristol S", "Bristol");
    library.addMethod("b&2", "Bristol D", "Bristol");
    library.addMethod("m&3", "Bristol TB", "Bristol");
    library.addMethod("a&-3-4-256-1-2-5-6-7", "Cooktown Orchid D", "Cooktown Orchid");
    library.addMethod("m&34-34.1-2-1-2-1-2-1", "Kent TB", "Kent");
    MethodNameIndex index;
    const auto check = [&](const char* typed, const std::vector<std::string>& expected) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(index.find(library, typed), expected);
    };
    // Case, spaces and the class word do not count.
    check("Cambridge S", {"Cambridge S"});
    check("cambridge s", {"Cambridge S"});
    check("Cambridge", {"Cambridge S"});
    check("Cambridge Surprise", {"Cambridge S"});
    check("CAMBRIDGE  S", {"Cambridge S"});
    check("Cooktown Orchid D", {"Cooktown Orchid D"});
    check("cooktownorchid delight", {"Cooktown Orchid D"});
    check("Kent Treble Bob", {"Kent TB"});
    check("kent tb", {"Kent TB"});
    // Several or none.
    check("Bristol", {"Bristol D", "Bristol S", "Bristol TB"});
    check("Bristol Delight", {"Bristol D"});
    check("Cambridg", {});
    check("Cambridge D", {});
    check("", {});
    // A library that grows is searched afresh.
    library.addMethod("c&4", "Yorkshire S", "Yorkshire");
    check("yorkshire", {"Yorkshire S"});
}

TEST(MethodNameIndexTest, NotesSayWhatDidNotMatch) {
    EXPECT_EQ(nameMatchNote("Cambridg", {}), "No method named \"Cambridg\"");
    EXPECT_EQ(nameMatchNote("Bristol", {"Bristol D", "Bristol S", "Bristol TB"}),
              "3 methods match \"Bristol\": Bristol D, Bristol S, Bristol TB");
    EXPECT_EQ(nameMatchNote("Cambridge", {"Cambridge S"}), "");
    const std::vector<std::string> many(7, "X S");
    EXPECT_EQ(nameMatchNote("x", many), "7 methods match \"x\": X S, X S, X S, X S, X S, ...");
}

}  // namespace
}  // namespace quarnel
