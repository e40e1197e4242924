#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/commands.h"
#include "support/test_support.h"

// Every command's standard output, standard error and exit status for a
// table of command lines, good and bad, compared byte for byte with the
// files of tests/data/cli_golden. QUARNEL_BLESS=1 rewrites them.
namespace quarnel {
namespace {

struct Case {
    const char* name;
    std::vector<std::string> args;  // $DATA: data/, $TESTS: tests/data, $STANDARD, $STARTER: method folders
};

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The folders by the names the golden files use, longest first so that a
// folder inside another is named as itself.
const std::vector<std::pair<std::string, std::string>>& folders() {
    static const std::vector<std::pair<std::string, std::string>> all = {
        {"$STANDARD", test::standardMethodsDir()},
        {"$STARTER", test::starterMethodsDir()},
        {"$TESTS", test::testDataDir()},
        {"$DATA", test::repoDataDir()},
    };
    return all;
}

std::string expand(std::string word) {
    for (const auto& [name, folder] : folders()) word = replaceAll(word, name, folder);
    return word;
}

std::string abbreviate(std::string text) {
    for (const auto& [name, folder] : folders()) text = replaceAll(text, folder, name);
    // A fill's progress lines come once a second: how many depends on the machine.
    static const std::regex progress("[0-9.]+ s: [0-9]+ nodes, [0-9]+ nodes/s, best music [^\n]*\n");
    // When a composition first came depends on the machine too.
    static const std::regex first("First composition: [0-9.]+ s\n");
    return std::regex_replace(std::regex_replace(text, progress, ""), first, "First composition: (time)\n");
}

std::string transcript(const Case& c) {
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(expand(a));
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run(args, in, out, err);
    std::string text = "$ quarnel-cli";
    for (const std::string& a : c.args) text += " " + a;
    text += "\nstatus " + std::to_string(status) + "\n--- stdout\n" + abbreviate(out.str()) + "--- stderr\n" + abbreviate(err.str());
    return text;
}

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        // The overview.
        {"no_arguments", {}},
        {"help", {"--help"}},
        {"help_with_library", {"--help", "--library", "$STARTER"}},
        {"unknown_command", {"frobnicate"}},
        {"unknown_option_alone", {"--bogus"}},
        {"option_before_command", {"--library", "$DATA", "rows", "Cambridge S"}},
        // rows
        {"rows_name", {"rows", "Cambridge S", "--library", "$DATA"}},
        {"rows_typed_name", {"rows", "cambridge", "--library", "$DATA"}},
        {"rows_notation", {"rows", "x38x14x1258x36x14x58x16x78,12", "--library", "$DATA"}},
        {"rows_no_method", {"rows", "Nosuchmethod S", "--library", "$DATA"}},
        {"rows_bad_notation", {"rows", "-38-14-1258-36-14-58-16-78,14", "--library", "$DATA"}},
        {"rows_without_text", {"rows"}},
        {"rows_two_texts", {"rows", "Cambridge S", "Yorkshire S", "--library", "$DATA"}},
        {"rows_unknown_option", {"rows", "Cambridge S", "--bogus"}},
        {"rows_missing_value", {"rows", "Cambridge S", "--library"}},
        {"rows_help", {"rows", "--help"}},
        // generate
        {"generate_limited", {"generate", "B", "--right-place", "--symmetric-sections", "--surprise", "--limit", "3", "--library", "$DATA"}},
        {"generate_every_class", {"generate", "m", "--two-places", "--surprise", "--delight", "--treble-bob", "--limit", "4", "--library", "$DATA"}},
        {"generate_no_class", {"generate", "m", "--library", "$DATA"}},
        {"generate_bad_code", {"generate", "I", "--surprise", "--library", "$DATA"}},
        {"generate_bad_limit", {"generate", "B", "--limit", "x"}},
        {"generate_negative_limit", {"generate", "B", "--limit", "-1"}},
        {"generate_unknown_option", {"generate", "B", "--bogus"}},
        {"generate_named", {"generate", "B", "--named"}},
        {"generate_without_code", {"generate"}},
        {"generate_limit_without_value", {"generate", "B", "--limit"}},
        {"generate_help", {"generate", "--help"}},
        // prove
        {"prove_with_music", {"prove", "$DATA/quarnel.txt", "--music", "$DATA/major.mus", "--library", "$DATA"}},
        {"prove_without_music", {"prove", "$DATA/quarnel.txt", "--library", "$DATA"}},
        {"prove_three_parts", {"prove", "$TESTS/two_leads_three_parts.txt", "--library", "$DATA"}},
        {"prove_dropped_method", {"prove", "$TESTS/dropped_method.txt", "--library", "$DATA"}},
        {"prove_false", {"prove", "$TESTS/false_lead_heads.txt", "--library", "$DATA"}},
        {"prove_bad_code_letter", {"prove", "$TESTS/bad_code_letter.txt", "--library", "$DATA"}},
        {"prove_missing_file", {"prove", "$TESTS/missing.txt", "--library", "$DATA"}},
        {"prove_missing_music", {"prove", "$DATA/quarnel.txt", "--music", "$TESTS/missing.mus", "--library", "$DATA"}},
        {"prove_without_file", {"prove"}},
        {"prove_not_a_composition", {"prove", "$TESTS/not_a_composition.txt", "--library", "$DATA"}},
        {"prove_option_of_another_command", {"prove", "$DATA/quarnel.txt", "--lead", "3", "--library", "$DATA"}},
        {"prove_unknown_option", {"prove", "$DATA/quarnel.txt", "--bogus"}},
        {"prove_help", {"prove", "--help"}},
        // save
        {"save", {"save", "$DATA/quarnel.txt", "--library", "$DATA"}},
        {"save_dropped_method", {"save", "$TESTS/dropped_method.txt", "--library", "$DATA"}},
        {"save_bad_code_letter", {"save", "$TESTS/bad_code_letter.txt", "--library", "$DATA"}},
        {"save_without_file", {"save"}},
        {"save_help", {"save", "--help"}},
        // try
        {"try_with_music", {"try", "$DATA/quarnel.txt", "--lead", "6", "--method", "h&-34-4-2-6-4-1-2-1", "--music", "$DATA/major.mus", "--library", "$DATA"}},
        {"try_own_method", {"try", "$DATA/quarnel.txt", "--lead", "2", "--method", "Cornwall S", "--library", "$DATA"}},
        {"try_bad_notation", {"try", "$DATA/quarnel.txt", "--lead", "2", "--method", "l&-56-4-56-3-4-5-4-", "--library", "$DATA"}},
        {"try_no_such_lead", {"try", "$DATA/quarnel.txt", "--lead", "9", "--method", "Cornwall S", "--library", "$DATA"}},
        {"try_bad_lead", {"try", "$DATA/quarnel.txt", "--lead", "x", "--method", "Cornwall S"}},
        {"try_without_method", {"try", "$DATA/quarnel.txt", "--lead", "2"}},
        {"try_dropped_method", {"try", "$TESTS/dropped_method.txt", "--lead", "3", "--method", "Cornwall S", "--library", "$DATA"}},
        {"try_bad_code_letter", {"try", "$TESTS/bad_code_letter.txt", "--lead", "1", "--method", "Cornwall S", "--library", "$DATA"}},
        {"try_missing_music", {"try", "$DATA/quarnel.txt", "--lead", "2", "--method", "Cornwall S", "--music", "$TESTS/missing.mus", "--library", "$DATA"}},
        {"try_help", {"try", "--help"}},
        // export
        {"export_text", {"export", "$DATA/quarnel.txt", "--text", "--library", "$DATA"}},
        {"export_microsiril", {"export", "$DATA/quarnel.txt", "--microsiril", "--library", "$DATA"}},
        {"export_neither", {"export", "$DATA/quarnel.txt"}},
        {"export_both", {"export", "$DATA/quarnel.txt", "--text", "--microsiril"}},
        {"export_dropped_method", {"export", "$TESTS/dropped_method.txt", "--text", "--library", "$DATA"}},
        {"export_bad_code_letter", {"export", "$TESTS/bad_code_letter.txt", "--text", "--library", "$DATA"}},
        {"export_help", {"export", "--help"}},
        // search
        {"search_next", {"search", "$DATA/quarnel.txt", "--lead", "3", "--surprise", "--library", "$STARTER"}},
        {"search_runs_out", {"search", "$DATA/quarnel.txt", "--lead", "3", "--surprise", "--max-falseness", "-1", "--library", "$STARTER"}},
        {"search_named", {"search", "$DATA/quarnel.txt", "--lead", "3", "--surprise", "--named", "--library", "$STARTER"}},
        {"search_after_method", {"search", "$DATA/quarnel.txt", "--lead", "3", "--surprise", "--named", "--method", "Adelaide S", "--library", "$STARTER"}},
        {"search_different_match", {"search", "$DATA/quarnel.txt", "--lead", "2", "--right-place", "--symmetric-sections", "--two-places", "--delight", "--treble-bob", "--different", "--library", "$STARTER"}},
        {"search_match_music", {"search", "$DATA/quarnel.txt", "--lead", "2", "--surprise", "--match", "--music", "$DATA/major.mus", "--library", "$STARTER"}},
        {"search_past_last_lead", {"search", "$DATA/quarnel.txt", "--lead", "9", "--surprise", "--library", "$STARTER"}},
        {"search_false", {"search", "$TESTS/false_lead_heads.txt", "--lead", "1", "--library", "$STARTER"}},
        {"search_bad_code_letter", {"search", "$TESTS/bad_code_letter.txt", "--lead", "1", "--library", "$STARTER"}},
        {"search_dropped_method", {"search", "$TESTS/dropped_method.txt", "--lead", "2", "--surprise", "--library", "$DATA"}},
        {"search_missing_file", {"search", "$TESTS/missing.txt", "--lead", "1", "--library", "$STARTER"}},
        {"search_missing_music", {"search", "$DATA/quarnel.txt", "--lead", "1", "--music", "$TESTS/missing.mus", "--library", "$STARTER"}},
        {"search_not_a_composition", {"search", "$TESTS/not_a_composition.txt", "--lead", "1", "--library", "$STARTER"}},
        {"search_different_and_match", {"search", "$DATA/quarnel.txt", "--lead", "1", "--different", "--match"}},
        {"search_without_lead", {"search", "$DATA/quarnel.txt"}},
        {"search_bad_maximum", {"search", "$DATA/quarnel.txt", "--lead", "1", "--max-falseness", "x"}},
        {"search_unknown_option", {"search", "$DATA/quarnel.txt", "--lead", "1", "--bogus"}},
        {"search_help", {"search", "--help"}},
        // library
        {"library_without_words", {"library"}},
        {"library_no_folder", {"library", "import", "$TESTS/council_methods.xml", "$TESTS/missing"}},
        {"library_not_import", {"library", "export", "$TESTS/council_methods.xml", "$TESTS"}},
        {"library_help", {"library", "--help"}},
        // fill
        {"fill_all", {"fill", "$DATA/quarnel.txt", "--all", "--music", "$TESTS/major-classic.mus", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_all_different", {"fill", "$DATA/quarnel.txt", "--all", "--all-different", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_nothing_empty", {"fill", "$DATA/quarnel.txt", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_dropped_method", {"fill", "$TESTS/dropped_method.txt", "--library", "$DATA", "--threads", "1", "--max-uses", "2"}},
        {"fill_missing_file", {"fill", "$TESTS/missing.txt", "--library", "$STANDARD"}},
        {"fill_missing_music", {"fill", "$DATA/quarnel.txt", "--music", "$TESTS/missing.mus", "--library", "$STANDARD"}},
        {"fill_false", {"fill", "$TESTS/false_lead_heads.txt", "--library", "$STANDARD"}},
        {"fill_bad_code_letter", {"fill", "$TESTS/bad_code_letter.txt", "--library", "$STANDARD"}},
        {"fill_unknown_option", {"fill", "$DATA/quarnel.txt", "--fast", "--library", "$STANDARD"}},
        {"fill_missing_value", {"fill", "$DATA/quarnel.txt", "--threads"}},
        {"fill_without_file", {"fill"}},
        {"fill_zero_threads", {"fill", "$DATA/quarnel.txt", "--threads", "0"}},
        {"fill_negative_time", {"fill", "$DATA/quarnel.txt", "--time-limit", "-1"}},
        {"fill_bad_time", {"fill", "$DATA/quarnel.txt", "--time-limit", "soon"}},
        {"fill_negative_nodes", {"fill", "$DATA/quarnel.txt", "--node-limit", "-5"}},
        {"fill_zero_uses", {"fill", "$DATA/quarnel.txt", "--max-uses", "0"}},
        {"fill_different_and_uses", {"fill", "$DATA/quarnel.txt", "--all-different", "--max-uses", "2"}},
        {"fill_negative_generator_limit", {"fill", "$DATA/quarnel.txt", "--generator-limit", "-1"}},
        {"fill_no_candidate", {"fill", "$DATA/quarnel.txt", "--all", "--named", "--right-place", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_cut_candidates", {"fill", "$DATA/quarnel.txt", "--all", "--two-places", "--generator-limit", "40", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_treble_bob", {"fill", "$DATA/quarnel.txt", "--all", "--treble-bob", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_node_limit", {"fill", "$DATA/quarnel.txt", "--all", "--node-limit", "1", "--library", "$STANDARD", "--threads", "1"}},
        {"fill_help", {"fill", "--help"}},
        {"fill_lp_written", {"fill", "$DATA/quarnel.txt", "--all", "--lp", "/dev/null", "--library", "$STANDARD"}},
        {"fill_lp_constraints", {"fill", "$DATA/quarnel.txt", "--all", "--min-methods", "2", "--lp", "/dev/null", "--library", "$STANDARD"}},
        {"fill_lp_unwritable", {"fill", "$DATA/quarnel.txt", "--all", "--lp", "$TESTS/no-such-folder/plan.lp", "--library", "$STANDARD"}},
        {"fill_too_few_methods", {"fill", "$DATA/quarnel.txt", "--all", "--max-uses", "1", "--surprise", "--library", "$STARTER", "--threads", "1"}},
        // compose: runs to the end, or to a node limit, on one thread
        {"compose_touch", {"compose", "--methods", "Cambridge S,Yorkshire S", "--length", "224-320", "--music", "$DATA/major.mus",
                           "--count", "2", "--library", "$STANDARD", "--threads", "1"}},
        {"compose_peal_node_limit", {"compose", "--methods", "Bristol S,Cambridge S,Cornwall S,Lincolnshire S,London S,Pudsey S,Superlative S,Yorkshire S",
                                     "--length", "peal", "--parts", "5", "--min-each", "480", "--min-methods", "8", "--music",
                                     "$DATA/major.mus", "--count", "1", "--node-limit", "1500000", "--library", "$STANDARD",
                                     "--threads", "1"}},
        {"compose_splice_at_calls", {"compose", "--methods", "Cambridge S,Bristol S,London S", "--length", "224-288", "--calls",
                                     "bobs-singles", "--splice", "calls", "--min-methods", "2", "--count", "1", "--library",
                                     "$STANDARD", "--threads", "1"}},
        {"compose_none", {"compose", "--methods", "Cambridge S,Yorkshire S", "--length", "224", "--min-methods", "2", "--balance",
                          "0", "--library", "$STANDARD", "--threads", "1"}},
        {"compose_node_limit_none", {"compose", "--methods", "Cambridge S,Yorkshire S", "--length", "qp", "--node-limit", "1",
                                     "--library", "$STANDARD", "--threads", "1"}},
        {"compose_help", {"compose", "--help"}},
        {"compose_without_length", {"compose", "--methods", "Cambridge S"}},
        {"compose_unknown_method", {"compose", "--methods", "Cambridge S,Nosuch S", "--length", "qp", "--library", "$STANDARD"}},
        {"compose_no_methods", {"compose", "--length", "qp", "--library", "$STANDARD"}},
        {"compose_methods_and_class", {"compose", "--methods", "Cambridge S", "--surprise", "--length", "qp"}},
        {"compose_falling_length", {"compose", "--methods", "Cambridge S", "--length", "5200-5000"}},
        {"compose_word_length", {"compose", "--methods", "Cambridge S", "--length", "abc"}},
        {"compose_length_between_leads", {"compose", "--methods", "Cambridge S", "--length", "5000-5010", "--parts", "5",
                                          "--library", "$STANDARD"}},
        {"compose_contradiction", {"compose", "--methods", "Cambridge S,Yorkshire S", "--length", "qp", "--min-methods", "3",
                                   "--max-methods", "2"}},
        {"compose_shares_too_long", {"compose", "--methods", "Cambridge S,Yorkshire S", "--length", "qp", "--min-each", "1000",
                                     "--min-methods", "2", "--library", "$STANDARD"}},
        {"compose_bad_part_end", {"compose", "--methods", "Cambridge S", "--length", "qp", "--part-end", "1243567"}},
        {"compose_part_end_and_parts", {"compose", "--methods", "Cambridge S", "--length", "qp", "--part-end", "12435678",
                                        "--parts", "2"}},
        {"compose_odd_part_end_bobs", {"compose", "--methods", "Cambridge S", "--length", "qp", "--part-end", "12435678",
                                       "--library", "$STANDARD"}},
        {"compose_bad_calls", {"compose", "--methods", "Cambridge S", "--length", "qp", "--calls", "singles"}},
        {"compose_bad_splice", {"compose", "--methods", "Cambridge S", "--length", "qp", "--splice", "courses"}},
        {"compose_zero_parts", {"compose", "--methods", "Cambridge S", "--length", "qp", "--parts", "0"}},
        {"compose_missing_out", {"compose", "--methods", "Cambridge S", "--length", "qp", "--out", "$TESTS/missing"}},
        {"compose_missing_music", {"compose", "--methods", "Cambridge S", "--length", "qp", "--music", "$TESTS/missing.mus",
                                   "--library", "$STANDARD"}},
    };
    return all;
}

TEST(CliGoldenTest, EveryCommandLineWritesWhatItsGoldenFileHolds) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        test::expectGolden(transcript(c), std::string("cli_golden/") + c.name + ".txt");
    }
}

}  // namespace
}  // namespace quarnel
