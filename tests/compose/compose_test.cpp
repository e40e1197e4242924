#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "compose/compose.h"
#include "composition/analysis.h"
#include "composition/calling.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "ringing/lead_head_code.h"
#include "ringing/model_error.h"
#include "session/compose_runner.h"
#include "support/test_support.h"

// Compose against an enumeration of every calling written here, row by row
// with the model's rows and the composition's own proof: the best objective
// and the best compositions' objectives are the enumeration's, and every
// composition reported is true and keeps what was asked.
namespace quarnel {
namespace {

using compose::CallSet;
using compose::ComposeOptions;
using compose::ComposeProblem;
using compose::ComposeResult;
using compose::ComposeStatus;
using compose::Splice;

const MethodLibrary& standard() { return test::libraryIn(test::standardMethodsDir()); }

const MusicTable& music() {
    static const MusicTable table = [] {
        std::ifstream in(test::repoDataDir() + "/major.mus");
        return MusicTable::read(in);
    }();
    return table;
}

std::unique_ptr<Composition> read(const std::string& text) {
    std::istringstream in(text);
    return readComposition(in, MajorMethod::HalfLength, standard());
}

// The 7 courses after the 8: in the places 2, 4, 6, 8, 7, 5, 3, round again.
bool tenorsCourse(const Row& head) {
    const int order[] = {1, 3, 5, 7, 6, 4, 2};
    for (int i = 0; i < 7; ++i)
        if (head[order[i]] == 7) return head[order[(i + 1) % 7]] == 6;
    return false;
}

// What the composer asked, checked on a composition read from its file with
// the analysis's figures; the objective when it keeps it all.
std::optional<long long> objective(const Composition& c, const ComposeOptions& o) {
    const search::Constraints& k = o.constraints;
    MusicTable table = music();
    const MethodBalance balance = methodBalance(c);
    const long long length = static_cast<long long>(c.leadCount()) * c.leadLength() * c.partCount();
    if (length < o.minLength || length > o.maxLength) return std::nullopt;
    const int used = static_cast<int>(balance.methods.size());
    if ((k.minMethods && used < *k.minMethods) || (k.maxMethods && used > *k.maxMethods)) return std::nullopt;
    for (const MethodFigures& m : balance.methods) {
        if ((k.minEach && m.changes < *k.minEach) || (k.maxEach && m.changes > *k.maxEach)) return std::nullopt;
        if (k.balancePercent && 100 * std::llabs(m.changes * used - length) > *k.balancePercent * length) return std::nullopt;
        if (k.allTheWork && !m.allTheWork()) return std::nullopt;
    }
    if ((k.minChangesOfMethod && balance.changesOfMethod < *k.minChangesOfMethod) ||
        (k.maxChangesOfMethod && balance.changesOfMethod > *k.maxChangesOfMethod))
        return std::nullopt;
    long long calls = 0;
    for (std::size_t n = 1; n <= c.leadCount(); ++n) {
        const Lead& lead = *c.leadAt(static_cast<int>(n));
        if (o.tenorsTogether && !tenorsCourse(lead.leadHead())) return std::nullopt;
        if (lead.call() == Call::Bob) calls += k.bobWeight * c.partCount();
        if (lead.call() == Call::Single) calls += k.singleWeight * c.partCount();
        // Splicing at calls: a plain lead end keeps the method, into the
        // next part too.
        const std::size_t after = n % c.leadCount() + 1;
        const bool join = after == 1;
        if (o.splice == Splice::AtCalls && lead.call() == Call::Plain && (!join || c.partCount() > 1) &&
            lead.committed()->notationText() != c.leadAt(static_cast<int>(after))->committed()->notationText())
            return std::nullopt;
    }
    long long score = c.musicScore(0, table, false) + k.comWeight * balance.changesOfMethod + calls;
    for (const MethodFigures& m : balance.methods) score -= k.atwWeight * (PiecesPerMethod - m.piecesRung());
    return score;
}

// Every calling and choice of methods from rounds, each lead's rows in every
// part kept in a table of the rows rung so far, to the part end within the
// length; the objective of each composition that keeps the constraints.
struct Enumeration {
    const ComposeOptions& o;
    Row partEnd;
    int parts;
    std::vector<std::unique_ptr<MajorMethod>> methods;
    std::vector<Call> calls;
    std::vector<char> rung = std::vector<char>(RowIndexCount, 0);
    std::vector<std::pair<int, Call>> leads;
    std::vector<long long> scores;  // of every composition that keeps them, best first
    // The best objective of each calling (the positions of the calls course
    // by course, as a composer reads it), and those best first.
    std::map<std::string, long long> bestOfCalling;
    std::vector<long long> callingScores;

    explicit Enumeration(const ComposeOptions& options) : o(options), partEnd(options.partEnd.value_or(Row())) {
        parts = PartEnd(partEnd).count();
        for (const std::string& name : o.constraints.methods) methods.push_back(std::make_unique<MajorMethod>(name, standard()));
        calls = {Call::Plain, Call::Bob};
        if (o.calls == CallSet::BobsAndSingles) calls.push_back(Call::Single);
        const int perLead = 32 * parts;
        go(Row(), (o.minLength + perLead - 1) / perLead, o.maxLength / perLead);
        std::sort(scores.rbegin(), scores.rend());
        for (const auto& [calling, score] : bestOfCalling) callingScores.push_back(score);
        std::sort(callingScores.rbegin(), callingScores.rend());
    }

    // The rows of a lead over all parts, in rung: false (nothing marked)
    // when one is rung already.
    bool ring(const Row& head, const MajorMethod& m, bool mark) {
        std::vector<int> marked;
        for (int i = 0; i < 32; ++i) {
            Row r = head.times(m.row(i));
            for (int part = 0; part < parts; ++part, r = partEnd.times(r)) {
                char& at = rung[static_cast<std::size_t>(rowIndex(r))];
                if (mark == (at != 0)) {
                    for (int x : marked) rung[static_cast<std::size_t>(x)] = 0;
                    return false;
                }
                at = mark ? 1 : 0;
                if (mark) marked.push_back(rowIndex(r));
            }
        }
        return true;
    }

    void go(const Row& head, int least, int most) {
        if (static_cast<int>(leads.size()) >= most) return;
        for (std::size_t m = 0; m < methods.size(); ++m) {
            if (o.splice == Splice::AtCalls && !leads.empty() && leads.back().second == Call::Plain &&
                leads.back().first != static_cast<int>(m))
                continue;
            const MajorMethod& method = *methods[m];
            if (!ring(head, method, true)) continue;
            const LeadHeadCode code = *LeadHeadCode::fromEitherCase(method.code());
            const Row leadEnd = head.times(code.leadEndRow());
            for (const Call c : calls) {
                const Row next = nextLeadHeadOf(leadEnd, code, c);
                if (o.tenorsTogether && !tenorsCourse(next)) continue;
                leads.emplace_back(static_cast<int>(m), c);
                if (next == partEnd) {
                    if (static_cast<int>(leads.size()) >= least) score();
                } else {
                    go(next, least, most);
                }
                leads.pop_back();
            }
            ring(head, method, false);
        }
    }

    void score() {
        std::string text;
        for (const auto& [m, c] : leads)
            text += std::string(1, static_cast<char>(methods[static_cast<std::size_t>(m)]->code() - 'a' + 'A')) + symbolOf(c) +
                    " " + methods[static_cast<std::size_t>(m)]->name() + "\n";
        const auto c = read(text);
        ASSERT_EQ(c->loadReport().size(), 0u) << text;
        if (const auto s = objective(*c, o)) {
            scores.push_back(*s);
            std::string calling;
            for (const CourseCalling& course : compositionCalling(*c).courses) {
                for (const CallAt& call : course.calls) calling += std::string(call.call == Call::Single ? "s" : "") + call.position;
                calling += ',';
            }
            const auto [at, added] = bestOfCalling.try_emplace(calling, *s);
            if (!added) at->second = std::max(at->second, *s);
        }
    }
};

struct Query {
    const char* name;
    std::vector<std::string> methods;
    int minLength, maxLength;
    std::optional<std::string> partEnd;
    CallSet calls = CallSet::Bobs;
    Splice splice = Splice::EveryLead;
    bool tenorsTogether = true;
    void (*constrain)(search::Constraints&) = nullptr;
};

void PrintTo(const Query& q, std::ostream* out) { *out << q.name; }

ComposeOptions optionsOf(const Query& q, int threads, int count) {
    ComposeOptions o;
    o.constraints.methods = q.methods;
    if (q.constrain) q.constrain(o.constraints);
    o.minLength = q.minLength;
    o.maxLength = q.maxLength;
    if (q.partEnd) o.partEnd = test::row(*q.partEnd);
    o.calls = q.calls;
    o.splice = q.splice;
    o.tenorsTogether = q.tenorsTogether;
    o.count = count;
    o.music = music();
    o.limits.threads = threads;
    return o;
}

ComposeResult compose(const ComposeOptions& o) {
    const ComposeProblem problem = ComposeProblem::build(standard(), o);
    const std::atomic<bool> stop{false};
    return compose::runCompose(problem, o, stop, {});
}

const std::vector<Query>& queries() {
    static const std::vector<Query> all = {
        {"TwoMethodsOnePartBobs", {"Cambridge S", "Yorkshire S"}, 224, 320, {}},
        {"TwoMethodsOnePartSplitTenors", {"Cambridge S", "Bristol S"}, 224, 352, {}, CallSet::Bobs, Splice::EveryLead, false},
        {"ThreeMethodsSinglesSpliceAtCalls", {"Cambridge S", "Bristol S", "London S"}, 224, 288, {}, CallSet::BobsAndSingles,
         Splice::AtCalls},
        {"TwoMethodsTwoParts", {"Cambridge S", "Superlative S"}, 2 * 32 * 5, 2 * 32 * 8, "14523678"},
        {"TwoPartsSinglesAtCalls", {"Yorkshire S", "London S"}, 2 * 32 * 4, 2 * 32 * 8, "12435678", CallSet::BobsAndSingles,
         Splice::AtCalls},
        {"ThreeMethodsShares", {"Cambridge S", "Yorkshire S", "Pudsey S"}, 224, 320, {}, CallSet::Bobs, Splice::EveryLead, true,
         [](search::Constraints& k) {
             k.minMethods = 3;
             k.minEach = 64;
             k.maxEach = 128;
         }},
        {"WeightsOfChangesCallsAndWork", {"Cambridge S", "Lincolnshire S"}, 224, 288, {}, CallSet::BobsAndSingles,
         Splice::EveryLead, true,
         [](search::Constraints& k) {
             k.comWeight = -3;
             k.bobWeight = 2;
             k.singleWeight = -5;
             k.atwWeight = 1;
             k.maxChangesOfMethod = 6;
         }},
        {"BalanceAndAllTheWork", {"Cambridge S", "Superlative S"}, 2 * 32 * 7, 2 * 32 * 9, "14523678", CallSet::Bobs,
         Splice::EveryLead, true,
         [](search::Constraints& k) {
             k.balancePercent = 20;
             k.allTheWork = true;
             k.minChangesOfMethod = 4;
         }},
    };
    return all;
}

class ComposeAgainstEnumeration : public ::testing::TestWithParam<Query> {};

TEST_P(ComposeAgainstEnumeration, BestObjectivesAreTheEnumerationsAndEveryCompositionKeepsThem) {
    const Query& q = GetParam();
    constexpr int Count = 5;
    const Enumeration all(optionsOf(q, 1, Count));
    RecordProperty("compositions", static_cast<int>(all.scores.size()));
    for (const auto& [threads, onePerCalling] : {std::pair{1, false}, {2, false}, {1, true}, {2, true}}) {
        SCOPED_TRACE(std::to_string(threads) + " threads" + (onePerCalling ? ", one per calling" : ""));
        ComposeOptions o = optionsOf(q, threads, Count);
        o.onePerCalling = onePerCalling;
        const ComposeResult r = compose(o);
        EXPECT_EQ(r.rejected, 0);
        EXPECT_EQ(r.status, all.scores.empty() ? ComposeStatus::NoComposition : ComposeStatus::Complete);
        const std::vector<long long>& ranked = onePerCalling ? all.callingScores : all.scores;
        std::vector<long long> best(ranked.begin(), ranked.begin() + std::min<std::ptrdiff_t>(Count, std::ssize(ranked)));
        std::vector<long long> found;
        std::set<std::string> callings;
        for (const compose::FoundComposition& f : r.compositions) {
            found.push_back(f.score);
            if (onePerCalling) {
                EXPECT_TRUE(callings.insert(f.calling).second) << "calling twice: " << f.calling;
            }
            const auto c = read(f.fileText);
            EXPECT_EQ(c->loadReport().size(), 0u) << f.fileText;
            EXPECT_EQ(objective(*c, o), f.score) << f.fileText;
            EXPECT_EQ(f.length, static_cast<int>(c->leadCount()) * 32 * c->partCount());
            EXPECT_EQ(f.parts, PartEnd(o.partEnd.value_or(Row())).count());
        }
        EXPECT_EQ(found, best);
    }
}

INSTANTIATE_TEST_SUITE_P(SmallQueries, ComposeAgainstEnumeration, ::testing::ValuesIn(queries()),
                         [](const auto& info) { return std::string(info.param.name); });

// A query too large to finish in the test's time: the standard eight in 5
// parts of a peal.
ComposeOptions pealOptions(int threads) {
    ComposeOptions o;
    o.constraints.methods = {"Bristol S", "Cambridge S", "Cornwall S", "Lincolnshire S",
                             "London S",  "Pudsey S",    "Superlative S", "Yorkshire S"};
    o.minLength = 5000;
    o.maxLength = 5200;
    o.parts = 5;
    o.music = music();
    o.limits.threads = threads;
    return o;
}

// Kept one per calling, the callings listed differ as a composer reads
// them: the positions course by course, though 2nds- and 8ths-place methods
// may put the same calling at other leads.
TEST(ComposeOnePerCalling, TheCallingsListedDifferInTheirPositions) {
    ComposeOptions o = pealOptions(1);
    o.minLength = 1250;
    o.maxLength = 1300;
    o.parts = 1;
    o.onePerCalling = true;
    o.limits.nodeLimit = 4'000'000;
    const ComposeResult r = compose(o);
    ASSERT_EQ(r.compositions.size(), 10u);
    std::set<std::string> callings;
    for (const compose::FoundComposition& f : r.compositions)
        EXPECT_TRUE(callings.insert(f.calling).second) << "calling twice: " << f.calling;
}

TEST(ComposeLimits, ATimeLimitEndsTheSearchWithWhatWasFound) {
    ComposeOptions o = pealOptions(2);
    o.limits.timeLimitSeconds = 0.5;
    const auto started = std::chrono::steady_clock::now();
    const ComposeResult r = compose(o);
    // A run past its limit by more than a loaded machine explains would
    // take minutes.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 10.0);
    EXPECT_TRUE(r.status == ComposeStatus::LimitReached || r.status == ComposeStatus::NoneWithinLimits);
    EXPECT_EQ(r.status == ComposeStatus::LimitReached, !r.compositions.empty());
    for (const auto& f : r.compositions) EXPECT_EQ(read(f.fileText)->loadReport().size(), 0u);
}

TEST(ComposeLimits, AStopEndsTheRunnerWithTheCompositionsFoundSoFar) {
    ComposeRunner runner;
    ASSERT_TRUE(runner.start(standard(), &music(), pealOptions(2)));
    EXPECT_TRUE(runner.running());
    EXPECT_FALSE(runner.start(standard(), &music(), pealOptions(2)));
    // The list grows while the search runs; wait for the first (or a while).
    for (int i = 0; i < 300 && runner.compositions().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::size_t seen = runner.compositions().size();
    runner.stop();
    const auto r = runner.wait();
    ASSERT_TRUE(r.has_value());
    EXPECT_FALSE(runner.running());
    EXPECT_GE(r->compositions.size(), seen);
    EXPECT_EQ(runner.compositions().size(), r->compositions.size());
    EXPECT_EQ(runner.progress().kept, static_cast<int>(r->compositions.size()));
    EXPECT_NE(r->status, ComposeStatus::Complete);
}

TEST(ComposeLimits, ANodeLimitGivesTheSameCompositionsEveryRunOnOneThread) {
    ComposeOptions o = pealOptions(1);
    o.limits.nodeLimit = 200000;
    const ComposeResult a = compose(o);
    const ComposeResult b = compose(o);
    ASSERT_EQ(a.compositions.size(), b.compositions.size());
    for (std::size_t i = 0; i < a.compositions.size(); ++i) EXPECT_EQ(a.compositions[i].fileText, b.compositions[i].fileText);
    EXPECT_EQ(a.nodes, b.nodes);
}

struct Impossible {
    const char* name;
    void (*set)(ComposeOptions&);
    const char* message;
};

TEST(ComposeRefuses, WhatNoCompositionCanHaveAtOnce) {
    const std::vector<Impossible> cases = {
        {"a length between two whole numbers of leads", [](ComposeOptions& o) { o.minLength = 5000; o.maxLength = 5010; },
         "No composition of 5 parts has from 5000 to 5010 changes: its length is a whole number of leads of 160 changes "
         "(4960 or 5120)"},
        {"an unknown method", [](ComposeOptions& o) { o.constraints.methods[0] = "Nosuch S"; },
         "No method named \"Nosuch S\""},
        {"more methods than named", [](ComposeOptions& o) { o.constraints.minMethods = 9; },
         "Contradictory constraints: at least 9 methods but only 8 given"},
        {"shares the length cannot hold",
         [](ComposeOptions& o) { o.constraints.minEach = 800; },
         "No composition of this length can keep the constraints: at least 8 methods of at least 5 leads each, but the "
         "composition has 32 leads of 160 changes"},
        {"an odd part end with bobs alone",
         [](ComposeOptions& o) {
             o.partEnd = test::row("12435678");
             o.minLength = 1250;
             o.maxLength = 1300;
         },
         "No calling of these methods comes round at the part end (12435678) in 20 leads a part (plain leads and bobs "
         "keep the lead heads even: an odd part end needs singles)"},
        {"a part end that moves the tenors", [](ComposeOptions& o) { o.partEnd = test::row("12345687"); },
         "The part end 12345687 moves the 7 or the 8: with the tenors together they stay home (or compose with the "
         "tenors split)"},
        {"no part end of the parts", [](ComposeOptions& o) { o.parts = 7; },
         "No part end of 7 parts keeps the treble, the 7 and the 8 home (bells 2 to 6 make 1, 2, 3, 4, 5 or 6 parts)"},
    };
    for (const Impossible& c : cases) {
        SCOPED_TRACE(c.name);
        ComposeOptions o = pealOptions(1);
        o.constraints.minMethods = 8;
        c.set(o);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_THROW_MSG(ComposeProblem::build(standard(), o), ModelError, c.message);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 5.0);
    }
}

TEST(ComposeLengths, ReadAsComposersTypeThem) {
    struct Case {
        const char* text;
        std::optional<std::pair<int, int>> length;
    };
    const std::vector<Case> cases = {
        {"qp", std::pair{1250, 1300}}, {"peal", std::pair{5000, 5200}}, {"1280", std::pair{1280, 1280}},
        {"5000-5200", std::pair{5000, 5200}}, {"5200-5000", std::nullopt}, {"abc", std::nullopt},
        {"0-100", std::nullopt}, {"-", std::nullopt}, {"12-", std::nullopt}, {"", std::nullopt},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(compose::readLength(c.text, why), c.length) << c.text;
        EXPECT_EQ(why.empty(), c.length.has_value()) << c.text;
    }
}

}  // namespace
}  // namespace quarnel
