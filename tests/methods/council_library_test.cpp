#include "methods/council_library.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "methods/method_library.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

CouncilLibrary fixture() { return readCouncilLibraryFile(test::testDataDir() + "/council_methods.xml"); }

fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("quarnel-council-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(CouncilLibraryTest, TakesTheRingableMethodsOfEachClass) {
    const CouncilLibrary library = fixture();
    ASSERT_TRUE(library.ok()) << library.error;
    using Methods = std::map<std::string, std::string>;
    EXPECT_EQ(library.classes[0].methods, (Methods{{"Cambridge", "b&-3-4-25-36-4-5-6-7"},
                                                   {"CooktownOrchid", "b&-36-4-5-36-4-5-36-7"},
                                                   {"StMary's(No.2)", "b&-3-4-25-36-4-5-6-7"},  // written out in full
                                                   {"Bristol", "m&-5-4.5-5.36.4-4.5-4-1"},  // its code worked out
                                                   {"Yorkshire", "b&-3-4-5-6-2-3-4-7"},
                                                   {"Zurich", "m&-5-4.5-5.36.4-4.5-4-1"}}));
    EXPECT_EQ(library.classes[1].methods, (Methods{{"Bedale", "f&-5-45-5-23-34-1-4-7"}}));
    EXPECT_EQ(library.classes[2].methods, (Methods{{"Kent", "m&34-34.1-2-1-2-1-2-1"}}));
}

TEST(CouncilLibraryTest, EveryOtherMethodIsSkippedForOneReason) {
    const CouncilLibrary library = fixture();
    auto check = [&](SkipReason reason, long count) {
        SCOPED_TRACE(std::string(skipReasonText(reason)));
        EXPECT_EQ(library.skipped[static_cast<std::size_t>(reason)], count);
    };
    check(SkipReason::OtherStage, 2);    // a Minor set, and a Royal method in a Major set
    check(SkipReason::Little, 1);        // its own classification says so
    check(SkipReason::Differential, 1);
    check(SkipReason::OtherClass, 1);    // Plain Bob
    check(SkipReason::LeadLength, 1);    // a method that gives itself a 48-row lead
    check(SkipReason::Hunts, 1);
    check(SkipReason::BadNotation, 1);
    check(SkipReason::NotSymmetric, 1);
    check(SkipReason::LeadEnd, 1);       // a 14 lead end
    check(SkipReason::LeadHeadCode, 3);  // "p", "c" for a lead that ends as "b", and no code for a lead head of none
    check(SkipReason::HuntPath, 0);
    check(SkipReason::NoName, 1);        // no letter of the name has an ASCII form
    check(SkipReason::NameTaken, 1);     // the second Cambridge
    long total = 0;
    for (long n : library.skipped) total += n;
    for (const auto& c : library.classes) total += static_cast<long>(c.methods.size());
    EXPECT_EQ(total, library.methodsRead);
}

TEST(CouncilLibraryTest, NamesBecomeOneReadableWord) {
    auto check = [](std::string_view name, std::string_view expected) {
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(oneWordName(name), expected);
    };
    check("Cooktown Orchid", "CooktownOrchid");
    check("  St   Clement's  ", "StClement's");
    check("old kent road", "oldKentRoad");
    check("Zürich", "Zurich");
    check("Ærøskøbing", "AEroskobing");
    check("Łódź Škoda", "LodzSkoda");
    check("Dom\xE2\x80\x99s", "Dom's");  // a typographic apostrophe
    check("\xE4\xB8\x80", "");         // nothing with an ASCII form
    check("Broken\xC3", "Broken");     // a cut character is dropped
}

TEST(CouncilLibraryTest, ForeignOrMalformedXmlGivesAMessageAndNoMethods) {
    auto check = [](std::string_view xml, std::string_view start) {
        SCOPED_TRACE(std::string(xml));
        const CouncilLibrary library = readCouncilLibrary(xml);
        EXPECT_FALSE(library.ok());
        EXPECT_EQ(library.error.substr(0, start.size()), start);
        for (const auto& c : library.classes) EXPECT_TRUE(c.methods.empty());
    };
    check("<collection xmlns=\"http://www.cccbr.org.uk/methods/schemas/2007/05/methods\"><methodSet>", "not well-formed XML");
    check("", "not well-formed XML");
    check("<html><body/></html>", "not the Central Council's methods library");
    check("<collection xmlns=\"urn:something-else\"/>", "not the Central Council's methods library");
    check("<collection xmlns=\"http://www.cccbr.org.uk/methods/schemas/2007/05/methods\"/>", "a collection without methods");
    const CouncilLibrary prefixed = readCouncilLibrary(
        "<c:collection xmlns:c=\"http://www.cccbr.org.uk/methods/schemas/2007/05/methods\"><c:methodSet><c:properties>"
        "<c:stage>8</c:stage><c:classification>Surprise</c:classification><c:lengthOfLead>32</c:lengthOfLead>"
        "<c:numberOfHunts>1</c:numberOfHunts></c:properties><c:method><c:name>Cambridge</c:name>"
        "<c:notation>-38-14-1258-36-14-58-16-78,12</c:notation><c:leadHeadCode>b</c:leadHeadCode></c:method>"
        "</c:methodSet></c:collection>");
    EXPECT_TRUE(prefixed.ok()) << prefixed.error;
    EXPECT_EQ(prefixed.classes[0].methods.size(), 1u);
    EXPECT_EQ(readCouncilLibraryFile("/nonexistent/CCCBR_methods.xml").error, "cannot open /nonexistent/CCCBR_methods.xml");
}

TEST(CouncilLibraryTest, WrittenFilesReadBackAsTheImportedMethodsAndStandInAtStartUp) {
    const CouncilLibrary council = fixture();
    const fs::path folder = freshFolder("written");
    std::string error;
    ASSERT_TRUE(writeCouncilLibraryFiles(council, folder.string(), error)) << error;
    MethodLibrary fromFiles;
    EXPECT_EQ(readLibraryFiles(fromFiles, folder.string()), 3);
    MethodLibrary direct;
    addCouncilLibrary(council, direct);
    EXPECT_EQ(fromFiles.byName(), direct.byName());
    EXPECT_EQ(direct.notationOf("Kent TB"), "m&34-34.1-2-1-2-1-2-1");
    // Without S8, D8 and T8 the Council's file is read in their place.
    const fs::path bare = freshFolder("start-up");
    fs::copy_file(test::testDataDir() + "/council_methods.xml", bare / "CCCBR_methods.xml");
    MethodLibrary startUp;
    EXPECT_EQ(readLibraryFiles(startUp, bare.string()), 0);
    EXPECT_EQ(startUp.byName(), direct.byName());
    fs::copy_file(folder / "T8", bare / "T8");
    MethodLibrary withT8;
    EXPECT_EQ(readLibraryFiles(withT8, bare.string()), 1);
    EXPECT_EQ(withT8.size(), 1u);
}

}  // namespace
}  // namespace quarnel
