#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli_run.h"
#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using Result = test::CliRun;

Result run(const std::vector<std::string>& args) { return test::runCli(args); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

TEST(CliTest, ProveTellsOnStandardErrorWhichLeadsLostTheirMethods) {
    const std::string data = test::repoDataDir();
    const std::string path = ::testing::TempDir() + "/cli_dropped.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "D- Ipswich S\nL  Cornwal S\nC  Cassiobury S\nH- Essex S\nEs Cray S\nHs Essex S\nE  Cray S\nG  Glasgow S\n";
    }
    const Result r = run({"prove", path, "--library", data});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Lead 2 (Cornwal S): not in the method library\n");
    const auto out = lines(r.out);
    ASSERT_GE(out.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(out.begin(), out.begin() + 5),
              (std::vector<std::string>{"Leads: 8", "Parts: 5", "Part end: 16382475", "Changes: 1280", "Methods: 7"}));
    const std::string junk = ::testing::TempDir() + "/cli_junk.txt";
    {
        std::ofstream out(junk, std::ios::binary);
        out << "# not a composition\n\x01\x02binary\n";
    }
    EXPECT_EQ(lines(run({"prove", junk, "--library", data}).out).front(), "Leads: 0");
}

TEST(CliTest, RowsOfANameOrANotationText) {
    const std::string library = test::repoDataDir();
    for (const char* text : {"Cambridge S", "b&-3-4-25-36-4-5-6-7", "b&-38-14-1258-36-14-58-16-78",
                             // place notation as ringers write it
                             "x38x14x1258x36x14x58x16x78,12", "-38-14-1258-36-14-58-16-78,12", "&-38-14-1258-36-14-58-16-78,12",
                             "b&x3x4x25x36x4x5x6x7", "b&-3.-4.-25.-36.-4.-5.-6.-7"}) {
        SCOPED_TRACE(text);
        const Result r = run({"rows", text, "--library", library});
        EXPECT_EQ(r.status, 0);
        const auto rows = lines(r.out);
        ASSERT_EQ(rows.size(), 33u);
        EXPECT_EQ(rows[0], "12345678");
        EXPECT_EQ(rows[31], "15372846");
        EXPECT_EQ(rows[32], "15738264");
    }
    const Result none = run({"rows", "Nosuchmethod S", "--library", library});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err, "");
    const Result bad = run({"rows", "-38-14-1258-36-14-58-16-78,14", "--library", library});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "No method: -38-14-1258-36-14-58-16-78,14 (The rows reach the lead head 13578264, which is none of the "
                       "twelve lead-head codes)\n");
}

TEST(CliTest, MethodNamesAreReadAsRingersTypeThem) {
    const std::string data = test::repoDataDir();
    const std::string file = data + "/quarnel.txt";
    const std::string cambridge = run({"rows", "Cambridge S", "--library", data}).out;
    ASSERT_EQ(lines(cambridge).size(), 33u);
    const std::string cornwall = run({"try", file, "--lead", "2", "--method", "Cornwall S", "--library", data}).out;
    ASSERT_EQ(cornwall, "No falseness detected\r\nScore: 0\nProfile: 15\nProfile with back-off: 15\n");
    const auto check = [&](const std::vector<std::string>& args, int status, const std::string& out, const std::string& err) {
        SCOPED_TRACE(args[0] + " " + args.back());
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--library", data});
        const Result r = run(all);
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(r.err, err);
        EXPECT_EQ(r.out, out);
    };
    // One match: the method, whatever the case, the spaces and the class word.
    check({"rows", "cambridge"}, 0, cambridge, "");
    check({"rows", "Cambridge Surprise"}, 0, cambridge, "");
    check({"rows", "cambridge s"}, 0, cambridge, "");
    check({"rows", "CAMBRIDGE  S"}, 0, cambridge, "");
    check({"try", file, "--lead", "2", "--method", "cornwall"}, 0, cornwall, "");
    check({"try", file, "--lead", "2", "--method", "Cornwall Surprise"}, 0, cornwall, "");
    // A notation text that is no name goes on to be read as notation.
    check({"rows", "b&-3-4-25-36-4-5-6-7"}, 0, cambridge, "");
    // No match: the message the name field gives.
    check({"rows", "Cambridg"}, 1, "", "No method named \"Cambridg\"\n");
    check({"try", file, "--lead", "2", "--method", "cornwal"}, 1, "", "No method named \"cornwal\"\n");
    check({"search", file, "--lead", "3", "--method", "Nosuchmethod"}, 1, "", "No method named \"Nosuchmethod\"\n");
    // "Nonesuch" is Nonesuch S now, no longer a text that names nothing.
    check({"try", file, "--lead", "2", "--method", "Nonesuch"}, 0,
          run({"try", file, "--lead", "2", "--method", "Nonesuch S", "--library", data}).out, "");
    // Several: the name field's list of them.
    check({"rows", "Kent"}, 1, "", "3 methods match \"Kent\": Kent D, Kent S, Kent TB\n");
    check({"try", file, "--lead", "2", "--method", "kent"}, 1, "", "3 methods match \"kent\": Kent D, Kent S, Kent TB\n");
    check({"search", file, "--lead", "3", "--method", "kent"}, 1, "", "3 methods match \"kent\": Kent D, Kent S, Kent TB\n");

    // In a composition file a name is exact; prove's report names the method meant.
    const std::string typedFile = ::testing::TempDir() + "/cli_typed_name.txt";
    {
        std::ofstream out(typedFile, std::ios::binary);
        out << "D- Ipswich S\nL  cornwall s\nC  Cassiobury S\nH- Essex S\nEs Cray S\nHs Essex S\nE  Cray S\nG  Glasgow S\n";
    }
    const Result proved = run({"prove", typedFile, "--library", data});
    EXPECT_EQ(proved.status, 0);
    EXPECT_EQ(proved.err, "Lead 2 (cornwall s): not in the method library; did you mean Cornwall S?\n");

    // search continues from the method the typed name finds.
    const Result exact = run({"search", file, "--lead", "3", "--surprise", "--named", "--method", "Adelaide S", "--library", data});
    const Result typed = run({"search", file, "--lead", "3", "--surprise", "--named", "--method", "adelaide surprise", "--library", data});
    EXPECT_EQ(typed.status, 0) << typed.err;
    EXPECT_EQ(typed.out, exact.out);
}

TEST(CliTest, HelpNamesTheLibraryItReads) {
    const std::string data = test::repoDataDir();
    const Result asked = run({"--help", "--library", data});
    EXPECT_EQ(asked.status, 0);
    EXPECT_NE(asked.out.find("\nMethod library: " + data + "\n"), std::string::npos) << asked.out;
    // The tests run in the build tree, which holds no library: the one that comes with the program.
    const Result own = run({"--help"});
    EXPECT_NE(own.out.find("\nMethod library: " + data + " (the library that comes with Quarnel)\n"), std::string::npos)
        << own.out;
}

TEST(CliTest, GenerateListsTheGeneratorsMethods) {
    const Result r = run({"generate", "B", "--right-place", "--symmetric-sections", "--surprise", "--library", test::repoDataDir()});
    EXPECT_EQ(r.status, 0);
    const auto methods = lines(r.out);
    ASSERT_EQ(methods.size(), 4417u);
    EXPECT_EQ(methods[1448], "b&-3-4-25-36-4-5-6-7");
    const Result limited = run({"generate", "m", "--surprise", "--limit", "3"});
    EXPECT_EQ(lines(limited.out).size(), 3u);
    const Result noClass = run({"generate", "m"});
    EXPECT_EQ(noClass.status, 0);
    EXPECT_EQ(noClass.out, "");
}

TEST(CliTest, BadInputIsReported) {
    const Result bad = run({"generate", "I", "--surprise"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "Bad lead end group\n");
    EXPECT_EQ(run({"generate", "B", "--limit", "x"}).status, 1);
    EXPECT_EQ(run({"generate", "B", "--bogus"}).status, 1);
    EXPECT_EQ(run({"frobnicate"}).status, 1);
    EXPECT_EQ(run({}).status, 1);
    EXPECT_EQ(run({"--help"}).status, 0);
    EXPECT_EQ(run({"rows"}).status, 1);
}

TEST(CliTest, ProveReportsTheComposition) {
    const std::string data = test::repoDataDir();
    const Result r = run({"prove", data + "/quarnel.txt", "--music", data + "/major.mus", "--library", data});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[0], "Leads: 8");
    EXPECT_EQ(l[1], "Parts: 5");
    EXPECT_EQ(l[2].substr(0, 10), "Part end: ");
    EXPECT_EQ(l[2].size(), 18u);
    EXPECT_EQ(l[3], "Changes: 1280");
    EXPECT_EQ(l[4], "Methods: 8");
    EXPECT_EQ(l[5].substr(0, 7), "Music: ");

    const Result noMusic = run({"prove", data + "/quarnel.txt", "--library", data});
    ASSERT_GT(lines(noMusic.out).size(), 5u);
    EXPECT_EQ(lines(noMusic.out)[5].substr(0, 5), "ATW: ");  // the analysis follows the figures
    const Result falseFile = run({"prove", test::testDataDir() + "/false_lead_heads.txt", "--library", data});
    EXPECT_EQ(falseFile.status, 1);
    EXPECT_EQ(falseFile.err, "Load abandoned: Attempt to insert false row (line 2: lead head 15738264 repeats)\n");
    EXPECT_EQ(falseFile.out, "");
    EXPECT_EQ(run({"prove", "/nonexistent/file.txt"}).status, 1);
    EXPECT_EQ(run({"prove", data + "/quarnel.txt", "--music", "/nonexistent.mus"}).status, 1);
}

TEST(CliTest, SaveWritesWhatSaveWould) {
    const std::string data = test::repoDataDir();
    const Result r = run({"save", data + "/quarnel.txt", "--library", data});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, test::readFile(data + "/quarnel.txt"));
}

TEST(CliTest, TryPrintsTheReportAndFigures) {
    const std::string data = test::repoDataDir();
    const Result r = run({"try", data + "/quarnel.txt", "--lead", "6", "--method", "h&-34-4-2-6-4-1-2-1", "--music",
                          data + "/major.mus", "--library", data});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 50), "Row 2 false against lh/le\r\nRow 4 false against 1\r\n");
    const auto l = lines(r.out.substr(50));
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[0], "Score: 101");
    EXPECT_EQ(l[1], "Profile: 2");
    EXPECT_EQ(l[2], "Profile with back-off: 2");
    EXPECT_EQ(l[3].substr(0, 12), "Lead music: ");
    EXPECT_EQ(l[4].substr(0, 17), "Candidate music: ");

    const Result own = run({"try", data + "/quarnel.txt", "--lead", "2", "--method", "Cornwall S", "--library", data});
    EXPECT_EQ(own.out, "No falseness detected\r\nScore: 0\nProfile: 15\nProfile with back-off: 15\n");
    for (const char* notation : {"-56-14-56-38-14-58-14-58,18", "l&x56x4x56x3x4x5x4x5"}) {  // Cornwall as ringers write it
        SCOPED_TRACE(notation);
        const Result typed = run({"try", data + "/quarnel.txt", "--lead", "2", "--method", notation, "--library", data});
        EXPECT_EQ(typed.status, 0) << typed.err;
        EXPECT_EQ(typed.out, own.out);
    }
    const Result badNotation = run({"try", data + "/quarnel.txt", "--lead", "2", "--method", "l&-56-4-56-3-4-5-4-", "--library", data});
    EXPECT_EQ(badNotation.status, 1);
    EXPECT_EQ(badNotation.err, "No method: l&-56-4-56-3-4-5-4- (15 changes in the half lead; a Major half lead has 16)\n");
    EXPECT_EQ(run({"try", data + "/quarnel.txt", "--lead", "9", "--method", "Cornwall S", "--library", data}).status, 1);
    EXPECT_EQ(run({"try", data + "/quarnel.txt", "--lead", "2", "--method", "Nosuchmethod S", "--library", data}).status, 1);
    EXPECT_EQ(run({"try", data + "/quarnel.txt", "--lead", "x", "--method", "Cornwall S"}).status, 1);
}

TEST(CliTest, ExportsTextAndMicroSiril) {
    const std::string data = test::repoDataDir();
    const Result text = run({"export", data + "/quarnel.txt", "--text", "--library", data});
    EXPECT_EQ(text.out, test::readFile(test::testDataDir() + "/quarnel.export.txt"));
    const Result siril = run({"export", data + "/quarnel.txt", "--microsiril", "--library", data});
    EXPECT_EQ(siril.out, test::readFile(test::testDataDir() + "/quarnel.maj"));
    EXPECT_EQ(run({"export", data + "/quarnel.txt"}).status, 1);
    EXPECT_EQ(run({"export", data + "/quarnel.txt", "--text", "--microsiril"}).status, 1);
}

TEST(CliTest, SearchIsOnePressOfNext) {
    const std::string data = test::starterMethodsDir();
    const std::string file = test::repoDataDir() + "/quarnel.txt";
    const Result r = run({"search", file, "--lead", "3", "--surprise", "--library", data});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0].substr(0, 12), "Notation: c&");
    EXPECT_EQ(l[1].substr(0, 6), "Name: ");
    EXPECT_EQ(l[2].substr(0, 12), "Candidates: ");

    // Nothing is within a negative maximum: the search runs out.
    const Result none = run({"search", file, "--lead", "3", "--surprise", "--max-falseness", "-1", "--library", data});
    EXPECT_EQ(lines(none.out)[0], "Notation: ");
    EXPECT_GT(std::stoi(lines(none.out)[2].substr(12)), 1);

    // Named: the library's methods of the code, Adelaide first.
    const Result named = run({"search", file, "--lead", "3", "--surprise", "--named", "--library", data});
    EXPECT_EQ(lines(named.out)[1], "Name: Adelaide S");
    // Continuing from a named candidate.
    const Result after = run({"search", file, "--lead", "3", "--surprise", "--named", "--method", "Adelaide S", "--library", data});
    EXPECT_NE(lines(after.out)[1], "Name: Adelaide S");

    const Result past = run({"search", file, "--lead", "9", "--surprise", "--library", data});
    EXPECT_EQ(past.status, 1);
    EXPECT_EQ(past.err, "Bad lead end group\n");
    const Result falseFile = run({"search", test::testDataDir() + "/false_lead_heads.txt", "--lead", "1", "--library", data});
    EXPECT_EQ(falseFile.status, 1);
    EXPECT_EQ(falseFile.err, "Load abandoned: Attempt to insert false row (line 2: lead head 15738264 repeats)\n");
    EXPECT_EQ(run({"search", file, "--lead", "1", "--different", "--match"}).status, 1);
    EXPECT_EQ(run({"search", file}).status, 1);
}

TEST(CliTest, EveryCommandThatReadsACompositionReadsItTheSameWay) {
    const std::string library = test::repoDataDir();
    const std::string bad = test::testDataDir() + "/bad_code_letter.txt";
    const std::string dropped = test::testDataDir() + "/dropped_method.txt";
    const std::string missing = test::testDataDir() + "/missing.txt";
    const std::vector<std::vector<std::string>> commands = {
        {"prove"}, {"save"}, {"try", "--lead", "1", "--method", "Cornwall S"}, {"export", "--text"},
        {"search", "--lead", "2", "--surprise"}, {"fill", "--threads", "1", "--max-uses", "2"}};
    for (const auto& command : commands) {
        SCOPED_TRACE(command.front());
        auto withFile = [&](const std::string& file) {
            std::vector<std::string> args = command;
            args.insert(args.begin() + 1, file);
            args.insert(args.end(), {"--library", library});
            return run(args);
        };
        const Result abandoned = withFile(bad);
        EXPECT_EQ(abandoned.status, 1);
        EXPECT_EQ(abandoned.out, "");
        EXPECT_EQ(abandoned.err, "Load abandoned: Bad lead end group (line 2: Z)\n");
        const Result absent = withFile(missing);
        EXPECT_EQ(absent.status, 1);
        EXPECT_EQ(absent.err, "Cannot open " + missing + "\n");
        const Result reported = withFile(dropped);
        EXPECT_EQ(reported.status, 0) << reported.err;
        EXPECT_EQ(reported.err.substr(0, 46), "Lead 2 (Cornwal S): not in the method library\n");
    }
}

TEST(CliTest, UsageErrorsExitOneFromEveryCommand) {
    const std::string file = test::repoDataDir() + "/quarnel.txt";
    const std::vector<std::vector<std::string>> lines = {
        {}, {"frobnicate"}, {"rows"}, {"rows", "x", "--bogus"}, {"generate"}, {"generate", "B", "--limit", "x"},
        {"generate", "B", "--named"}, {"prove"}, {"prove", file, "--lead", "2"}, {"prove", file, "--music"}, {"save"},
        {"try", file, "--lead", "2"}, {"try", file, "--lead", "x", "--method", "Cornwall S"}, {"export", file},
        {"search", file}, {"search", file, "--lead", "1", "--different", "--match"}, {"library", "export", "a", "b"},
        {"library"}, {"fill"}, {"fill", file, "--fast"}, {"fill", file, "--threads", "0"}};
    for (const auto& line : lines) {
        std::string typed;
        for (const auto& word : line) typed += word + " ";
        SCOPED_TRACE(typed);
        const Result r = run(line);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

TEST(CliTest, EveryCommandWritesItsOwnHelpFromItsOptions) {
    for (const char* command : {"rows", "generate", "prove", "save", "try", "export", "library", "search", "fill"}) {
        SCOPED_TRACE(command);
        const Result r = run({command, "--help"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.substr(0, 19 + std::string(command).size()), std::string("usage: quarnel-cli ") + command);
    }
    EXPECT_NE(run({"search", "--help"}).out.find("  --max-falseness K         the most falseness"), std::string::npos);
}

}  // namespace
}  // namespace quarnel
