#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <tuple>

#include "composition/composition.h"
#include "composition/music.h"
#include "fill/fill.h"
#include "fill/music_bound.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "fill/fill_test_data.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using fill::FillOptions;
using fill::FillProblem;
using fill::FillResult;
using fill::FillStatus;

const MethodLibrary& library(const std::string& folder) { return test::libraryIn(folder); }

using test::classicMusic;

std::unique_ptr<Composition> read(const std::string& text, const MethodLibrary& l) { return test::readText(text, l); }

std::string cambridge35() {
    const std::string calls = " - s- -s -  -  -      -     --     ";
    std::string text;
    for (const char call : calls) text += std::string("B") + call + " Cambridge S\n";
    return text;
}

FillResult runToEnd(const FillProblem& p, FillOptions o, int threads) {
    o.threads = threads;
    return fill::runFill(p, o, std::atomic<bool>{false}, {});
}

// Every combination of candidates, leads in order and each lead's methods in
// byte order of their notation texts: the first fill of the most music.
struct Exhaustive {
    const FillProblem& p;
    int limit;
    std::vector<std::uint8_t> used = std::vector<std::uint8_t>(RowIndexCount, 0);
    std::vector<int> uses = std::vector<int>(p.notations().size(), 0);
    std::vector<int> chosen = std::vector<int>(static_cast<std::size_t>(p.leadCount()), -1);
    std::vector<int> best{};
    long long bestMusic = LLONG_MIN;
    long long music = 0;

    void search(int i) {
        if (i == p.leadCount()) {
            if (music > bestMusic) {
                bestMusic = music;
                best = chosen;
            }
            return;
        }
        std::vector<int> order;
        for (int c = p.first(i); c < p.first(i + 1); ++c) order.push_back(c);
        std::sort(order.begin(), order.end(), [this](int a, int b) { return p.method(a) < p.method(b); });
        for (int c : order) {
            const int m = p.method(c);
            if (limit > 0 && uses[static_cast<std::size_t>(m)] + p.keptUses(m) >= limit) continue;
            const std::uint16_t* rows = p.rows(c);
            bool clear = true;
            for (int k = 0; k < p.rowsPerCandidate(); ++k) clear = clear && !used[rows[k]];
            if (!clear) continue;
            for (int k = 0; k < p.rowsPerCandidate(); ++k) used[rows[k]] = 1;
            ++uses[static_cast<std::size_t>(m)];
            music += p.music(c);
            chosen[static_cast<std::size_t>(i)] = c;
            search(i + 1);
            music -= p.music(c);
            --uses[static_cast<std::size_t>(m)];
            for (int k = 0; k < p.rowsPerCandidate(); ++k) used[rows[k]] = 0;
        }
    }
};

TEST(FillEngineTest, RunToCompletionFindsTheFirstBestFillOfAnExhaustiveSearch) {
    const std::string quarnel = test::readFile(test::repoDataDir() + "/quarnel.txt");
    const std::string small = test::readFile(test::testDataDir() + "/two_leads_three_parts.txt");
    auto check = [](const std::string& plan, const std::string& folder, bool withMusic, FillOptions o) {
        const MethodLibrary& l = library(folder);
        auto c = read(plan, l);
        const FillProblem p = FillProblem::build(*c, l, withMusic ? &classicMusic() : nullptr, o);
        ASSERT_EQ(p.impossibleLead(), 0);
        ASSERT_GT(p.candidateCount(), p.leadCount());
        Exhaustive e{p, fill::usesLimitOf(o)};
        e.search(0);
        // The row and method prices' bound, before and after its steps, is
        // never below the best true fill.
        fill::MusicBound bound(p);
        const long long sumOfBest = bound.bound();
        bound.improve(0.05, LLONG_MIN);
        EXPECT_LE(bound.bound(), sumOfBest);
        if (!e.best.empty()) {
            EXPECT_GE(bound.bound(), e.bestMusic);
        }
        for (int threads : {1, 2}) {
            SCOPED_TRACE(threads);
            const FillResult r = runToEnd(p, o, threads);
            if (e.best.empty()) {
                EXPECT_EQ(r.status, FillStatus::NoTrueFill);
                continue;
            }
            ASSERT_EQ(r.status, FillStatus::Optimal);
            EXPECT_EQ(r.music, p.fixedMusic() + e.bestMusic);
            EXPECT_TRUE(r.haveBound);
            EXPECT_EQ(r.bound, r.music);
            ASSERT_EQ(r.methods.size(), e.best.size());
            for (std::size_t i = 0; i < e.best.size(); ++i) {
                EXPECT_EQ(r.methods[i].first, p.leads()[i]);
                EXPECT_EQ(r.methods[i].second, p.notations()[static_cast<std::size_t>(p.method(e.best[i]))]);
            }
        }
    };
    const auto [all, different, twice, empty] = test::fillOptionSets();
    const std::string standard = test::standardMethodsDir();
    // The plain objective, with music and with none (every fill ties).
    { SCOPED_TRACE("quarnel"); check(quarnel, standard, true, all); }
    { SCOPED_TRACE("quarnel, no music"); check(quarnel, standard, false, all); }
    { SCOPED_TRACE("two leads"); check(small, test::fullMethodsDir(), true, all); }
    { SCOPED_TRACE("two B leads"); check("B-\nB \n", test::fullMethodsDir(), true, all); }
    { SCOPED_TRACE("two B leads, different"); check("B-\nB \n", test::fullMethodsDir(), true, different); }
    // The constraints on repeated methods.
    { SCOPED_TRACE("all different"); check(quarnel, standard, true, different); }
    { SCOPED_TRACE("all different, no music"); check(quarnel, standard, false, different); }
    { SCOPED_TRACE("at most twice"); check(quarnel, standard, true, twice); }
    // Kept leads stay as they are.
    { SCOPED_TRACE("empty leads"); check("D- Ipswich S\nL \nC \nH- Essex S\nEs \nHs \nE \nG Glasgow S\n", standard, true, empty); }
}

TEST(FillEngineTest, TheBoundIsTheOptimumWhenNoTwoLeadsShareARowAndFarBelowTheSumOfBestElsewhere) {
    auto bounds = [](const std::string& plan, const std::string& folder) {
        const MethodLibrary& l = library(folder);
        auto c = read(plan, l);
        FillOptions o;
        o.all = true;
        o.surprise = o.delight = o.trebleBob = true;
        const FillProblem p = FillProblem::build(*c, l, &classicMusic(), o);
        fill::MusicBound bound(p);
        const long long sumOfBest = bound.bound();
        bound.improve(0.2, LLONG_MIN);
        return std::tuple{p.fixedMusic() + sumOfBest, p.fixedMusic() + bound.bound(), runToEnd(p, o, 2)};
    };
    {
        SCOPED_TRACE("two B leads of the standard methods: no candidates share a row");
        const auto [sumOfBest, bound, r] = bounds("B-\nB \n", test::standardMethodsDir());
        ASSERT_EQ(r.status, FillStatus::Optimal);
        EXPECT_EQ(bound, r.music);
        EXPECT_EQ(r.bound, r.music);
    }
    {
        SCOPED_TRACE("quarnel.txt from the full library: leads clash");
        const auto [sumOfBest, bound, r] = bounds(test::readFile(test::repoDataDir() + "/quarnel.txt"), test::fullMethodsDir());
        ASSERT_EQ(r.status, FillStatus::Optimal);
        EXPECT_GE(bound, r.music);
        // The prices close most of the gap between the sum of best
        // candidates and the optimum.
        EXPECT_LT(bound - r.music, (sumOfBest - r.music) / 4);
    }
}

TEST(FillEngineTest, AFillCommitsInEveryLeadAndItsMusicIsTheComposition) {
    const MethodLibrary& l = library(test::fullMethodsDir());
    auto c = read(test::readFile(test::repoDataDir() + "/quarnel.txt"), l);
    FillOptions o;
    o.all = true;
    o.maxUses = 2;
    const FillProblem p = FillProblem::build(*c, l, &classicMusic(), o);
    const FillResult r = runToEnd(p, o, 2);
    ASSERT_EQ(r.status, FillStatus::Optimal);
    ASSERT_EQ(fill::applyFill(*c, l, r.methods), 0);
    std::map<std::string, int> uses;
    for (int n = 1; n <= static_cast<int>(c->leadCount()); ++n) {
        ASSERT_NE(c->committedMethodAt(n), nullptr) << n;
        EXPECT_LE(++uses[c->committedMethodAt(n)->notationText()], 2);
    }
    EXPECT_EQ(c->musicScore(0, classicMusic(), false), r.music);
    // The saved fill reads back with every lead committed.
    std::ostringstream saved;
    c->save(saved);
    auto again = read(saved.str(), l);
    for (int n = 1; n <= static_cast<int>(again->leadCount()); ++n) EXPECT_NE(again->committedMethodAt(n), nullptr) << n;
}

TEST(FillEngineTest, AStopOrATimeLimitReturnsTheBestFillSoFar) {
    const MethodLibrary& l = library(test::fullMethodsDir());
    auto c = read(cambridge35(), l);
    FillOptions o;
    o.all = true;
    o.threads = 2;
    const FillProblem p = FillProblem::build(*c, l, &classicMusic(), o);
    // The bound on the time taken catches a search that runs on past its
    // limit or its stop (that would take minutes); it leaves room for a
    // machine whose cores are shared with other work, under the sanitizers.
    auto check = [&](const FillResult& r, double most) {
        EXPECT_EQ(r.status, FillStatus::LimitReached);
        EXPECT_LT(r.elapsedSeconds, most);
        ASSERT_EQ(r.methods.size(), 35u);
        auto fresh = read(cambridge35(), l);
        EXPECT_EQ(fill::applyFill(*fresh, l, r.methods), 0);
        EXPECT_EQ(fresh->musicScore(0, classicMusic(), false), r.music);
    };
    // Long enough for the neighbourhood moves and the climber to improve
    // on the tree's first fills, under each limit on a method's uses.
    for (const auto& [allDifferent, maxUses] : {std::pair{false, 0}, {true, 0}, {false, 2}}) {
        SCOPED_TRACE("time limit, uses " + std::to_string(allDifferent ? 1 : maxUses));
        FillOptions limited = o;
        limited.timeLimitSeconds = 0.3;
        limited.allDifferent = allDifferent;
        limited.maxUses = maxUses;
        const FillProblem constrained = FillProblem::build(*c, l, &classicMusic(), limited);
        long long lastBest = 0;
        const FillResult r = fill::runFill(constrained, limited, std::atomic<bool>{false},
                                           [&lastBest](const fill::FillProgress& pr) { lastBest = pr.bestMusic; });
        EXPECT_GE(r.elapsedSeconds, 0.3);
        EXPECT_EQ(lastBest, r.music);
        check(r, 3.0);
        // Unfinished: the bound stands above the fill.
        EXPECT_TRUE(r.haveBound);
        EXPECT_GT(r.bound, r.music);
        std::map<std::string, int> uses;
        for (const auto& [lead, text] : r.methods) ++uses[text];
        const int most = allDifferent ? 1 : maxUses > 0 ? maxUses : 35;
        for (const auto& [text, count] : uses) EXPECT_LE(count, most) << text;
    }
    {
        SCOPED_TRACE("stop");
        std::atomic<bool> stop{false};
        std::thread stopper([&stop] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            stop = true;
        });
        const FillResult r = fill::runFill(p, o, stop, {});
        stopper.join();
        check(r, 3.0);
    }
}

TEST(FillEngineTest, ALeadWithoutCandidatesOrNoTrueFillIsReportedAtOnce) {
    MethodLibrary cambridgeOnly;
    cambridgeOnly.addMethod(library(test::standardMethodsDir()).notationOf("Cambridge S"), "Cambridge S", "Cambridge");
    FillOptions o;
    o.all = true;
    {
        SCOPED_TRACE("a lead with no method of its code");
        auto c = read(test::readFile(test::repoDataDir() + "/quarnel.txt"), cambridgeOnly);
        const FillProblem p = FillProblem::build(*c, cambridgeOnly, nullptr, o);
        const FillResult r = runToEnd(p, o, 2);
        EXPECT_EQ(r.status, FillStatus::ImpossibleLead);
        EXPECT_EQ(r.impossibleLead, 1);
        EXPECT_EQ(r.nodes, 0u);
    }
    {
        SCOPED_TRACE("one method for two leads that must differ");
        auto c = read("B-\nB \n", cambridgeOnly);
        o.allDifferent = true;
        const FillProblem p = FillProblem::build(*c, cambridgeOnly, nullptr, o);
        EXPECT_EQ(p.impossibleLead(), 0);
        EXPECT_EQ(runToEnd(p, o, 2).status, FillStatus::NoTrueFill);
    }
    {
        // Fewer methods of code B than 35 leads need at two uses each: no
        // search could end, and the matching of leads to methods proves it.
        SCOPED_TRACE("35 B leads from the standard methods, each at most twice");
        const MethodLibrary& l = library(test::standardMethodsDir());
        auto c = read(cambridge35(), l);
        FillOptions twice;
        twice.all = true;
        twice.maxUses = 2;
        twice.timeLimitSeconds = 20;
        const FillProblem p = FillProblem::build(*c, l, &classicMusic(), twice);
        const FillResult r = runToEnd(p, twice, 2);
        EXPECT_EQ(r.status, FillStatus::NoTrueFill);
        EXPECT_EQ(r.nodes, 0u);
        EXPECT_FALSE(r.haveBound);
    }
}

TEST(FillEngineTest, UnderALimitOnUsesTheMethodsArePricedToo) {
    // Without a limit the best fill of 35 B leads takes some methods often;
    // at most four uses each, the prices on those methods bring the bound
    // down, and it stays above every fill found.
    const MethodLibrary& l = library(test::standardMethodsDir());
    auto c = read(cambridge35(), l);
    auto boundOf = [&](int maxUses) {
        FillOptions o;
        o.all = true;
        o.maxUses = maxUses;
        const FillProblem p = FillProblem::build(*c, l, &classicMusic(), o);
        fill::MusicBound bound(p);
        bound.improve(0.3, LLONG_MIN);
        o.threads = 2;
        o.timeLimitSeconds = 1;
        const FillResult r = fill::runFill(p, o, std::atomic<bool>{false}, {});
        EXPECT_NE(r.status, FillStatus::NoTrueFill);
        EXPECT_GE(r.bound, r.music);
        EXPECT_GE(p.fixedMusic() + bound.bound(), r.music);
        return std::pair{p.fixedMusic() + bound.bound(), r.music};
    };
    const auto [free, freeBest] = boundOf(0);
    const auto [four, fourBest] = boundOf(4);
    EXPECT_LT(fourBest, freeBest);
    EXPECT_LT(four, free);
}

}  // namespace
}  // namespace quarnel
