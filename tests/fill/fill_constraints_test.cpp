#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <fstream>
#include <map>
#include <sstream>

#include "composition/analysis.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "composition/plan.h"
#include "fill/fill.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/model_error.h"
#include "fill/fill_test_data.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using fill::FillOptions;
using fill::FillProblem;
using fill::FillResult;
using fill::FillStatus;
using search::Constraints;

using test::classicMusic;

std::unique_ptr<Composition> read(const std::string& text, const MethodLibrary& l) { return test::readText(text, l); }

// The constraints worked out from the composition's leads alone, as a
// composer would count them: each method's leads, the changes of method of
// the analysis, and the pieces of work from the lead heads of every part.
struct Oracle {
    const Composition& c;
    const Constraints& k;
    int parts = c.partCount();
    int leads = static_cast<int>(c.leadCount());
    std::vector<std::uint64_t> work;

    Oracle(const Composition& composition, const Constraints& constraints) : c(composition), k(constraints) {
        for (int n = 1; n <= leads; ++n) {
            Row head = c.leadAt(n)->leadHead();
            std::uint64_t w = 0;
            for (int part = 0; part < parts; ++part) {
                for (int place = 1; place < BellCount; ++place) w |= std::uint64_t{1} << (7 * (head[place] - 1) + place - 1);
                head = c.partEnd().onePartOn(head);
            }
            work.push_back(w);
        }
    }

    // The objective over the music, or nothing when a constraint is broken.
    std::optional<long long> extra(const std::vector<std::string>& methods) const {
        std::map<std::string, int> leadsOf;
        std::map<std::string, std::uint64_t> workOf;
        for (int i = 0; i < leads; ++i) {
            ++leadsOf[methods[static_cast<std::size_t>(i)]];
            workOf[methods[static_cast<std::size_t>(i)]] |= work[static_cast<std::size_t>(i)];
        }
        const int used = static_cast<int>(leadsOf.size());
        if (used < k.minMethods.value_or(0) || used > k.maxMethods.value_or(INT_MAX)) return std::nullopt;
        const long long perLead = 32LL * parts;
        for (const auto& [m, l] : leadsOf) {
            if (l * perLead < k.minEach.value_or(0) || l * perLead > k.maxEach.value_or(LLONG_MAX)) return std::nullopt;
            const double mean = static_cast<double>(leads) / used;
            if (k.balancePercent && std::abs(l - mean) > mean * *k.balancePercent / 100.0 + 1e-9) return std::nullopt;
        }
        const long long com = changesOfMethod(methods, parts);
        if (com < k.minChangesOfMethod.value_or(0) || com > k.maxChangesOfMethod.value_or(LLONG_MAX)) return std::nullopt;
        long long extra = k.comWeight * com;
        for (const auto& [m, w] : workOf) {
            const int missing = 49 - std::popcount(w);
            if (k.allTheWork && missing > 0) return std::nullopt;
            extra -= k.atwWeight * missing;
        }
        return extra;
    }
};

// Every true fill, leads in order and each lead's methods in byte order of
// their notation texts: the first of the highest objective that keeps the
// constraints.
struct Exhaustive {
    const FillProblem& p;
    const Oracle& oracle;
    std::vector<std::string> methods;  // by composition lead; kept leads filled in
    std::vector<std::uint8_t> used = std::vector<std::uint8_t>(RowIndexCount, 0);
    std::vector<int> uses = std::vector<int>(p.notations().size(), 0);
    std::vector<int> chosen = std::vector<int>(static_cast<std::size_t>(p.leadCount()), -1);
    std::vector<int> best{};
    long long bestScore = LLONG_MIN;
    long long music = 0;

    void search(int i) {
        if (i == p.leadCount()) {
            const auto extra = oracle.extra(methods);
            if (extra && music + *extra > bestScore) {
                bestScore = music + *extra;
                best = chosen;
            }
            return;
        }
        std::vector<int> order;
        for (int c = p.first(i); c < p.first(i + 1); ++c) order.push_back(c);
        std::sort(order.begin(), order.end(), [this](int a, int b) { return p.method(a) < p.method(b); });
        for (int c : order) {
            const int m = p.method(c);
            if (p.usesLimit() > 0 && uses[static_cast<std::size_t>(m)] + p.keptUses(m) >= p.usesLimit()) continue;
            const std::uint16_t* rows = p.rows(c);
            bool clear = true;
            for (int k = 0; k < p.rowsPerCandidate(); ++k) clear = clear && !used[rows[k]];
            if (!clear) continue;
            for (int k = 0; k < p.rowsPerCandidate(); ++k) used[rows[k]] = 1;
            ++uses[static_cast<std::size_t>(m)];
            music += p.music(c);
            chosen[static_cast<std::size_t>(i)] = c;
            methods[static_cast<std::size_t>(p.leads()[static_cast<std::size_t>(i)] - 1)] = p.notations()[static_cast<std::size_t>(m)];
            search(i + 1);
            music -= p.music(c);
            --uses[static_cast<std::size_t>(m)];
            for (int k = 0; k < p.rowsPerCandidate(); ++k) used[rows[k]] = 0;
        }
    }
};

// What the analysis of the filled composition says of the constraints.
void expectKept(Composition& c, const Constraints& k) {
    const MethodBalance b = methodBalance(c);
    const int used = static_cast<int>(b.methods.size());
    EXPECT_GE(used, k.minMethods.value_or(0));
    EXPECT_LE(used, k.maxMethods.value_or(INT_MAX));
    EXPECT_GE(b.changesOfMethod, k.minChangesOfMethod.value_or(0));
    EXPECT_LE(b.changesOfMethod, k.maxChangesOfMethod.value_or(LLONG_MAX));
    if (k.allTheWork) {
        EXPECT_TRUE(b.allTheWork());
    }
    long long total = 0;
    for (const MethodFigures& m : b.methods) total += m.changes;
    for (const MethodFigures& m : b.methods) {
        SCOPED_TRACE(m.name);
        EXPECT_GE(m.changes, k.minEach.value_or(0));
        EXPECT_LE(m.changes, k.maxEach.value_or(LLONG_MAX));
        if (k.balancePercent) {
            EXPECT_LE(100 * std::abs(m.changes * used - total), *k.balancePercent * total);
        }
    }
}

TEST(FillConstraintsTest, EachConstraintsOptimumIsTheFirstBestOfAnExhaustiveSearch) {
    const std::string kept = "B- Cambridge S\nB-\nB \nB  Yorkshire S\nB-\nB \n";
    const MethodLibrary& standard = test::libraryIn(test::standardMethodsDir());
    int reported = 0;
    auto check = [&](const std::string& plan, const Constraints& k, bool expectFill) {
        FillOptions o;
        o.all = plan != kept;
        o.surprise = o.delight = o.trebleBob = true;
        o.constraints = k;
        auto c = read(plan, standard);
        const FillProblem p = FillProblem::build(*c, standard, &classicMusic(), o);
        ASSERT_EQ(p.impossibleLead(), 0);
        const Oracle oracle(*c, k);
        Exhaustive e{p, oracle, std::vector<std::string>(c->leadCount())};
        for (int n = 1; n <= static_cast<int>(c->leadCount()); ++n)
            if (!o.all && c->committedMethodAt(n)) e.methods[static_cast<std::size_t>(n - 1)] = c->committedMethodAt(n)->notationText();
        e.search(0);
        EXPECT_EQ(!e.best.empty(), expectFill);
        for (int threads : {1, 2}) {
            SCOPED_TRACE(threads);
            o.threads = threads;
            const FillResult r = fill::runFill(p, o, std::atomic<bool>{false}, {});
            if (e.best.empty()) {
                EXPECT_EQ(r.status, FillStatus::NoTrueFill);
                continue;
            }
            ASSERT_EQ(r.status, FillStatus::Optimal);
            EXPECT_EQ(r.score, p.fixedMusic() + p.constraints().callScore + e.bestScore);
            ASSERT_EQ(r.methods.size(), e.best.size());
            for (std::size_t i = 0; i < e.best.size(); ++i)
                EXPECT_EQ(r.methods[i].second, p.notations()[static_cast<std::size_t>(p.method(e.best[i]))]);
            auto filled = read(plan, standard);
            ASSERT_EQ(fill::applyFill(*filled, standard, r.methods), 0);
            EXPECT_EQ(filled->musicScore(0, classicMusic(), false), r.music);
            expectKept(*filled, k);
            ++reported;
        }
    };
    auto with = [](auto set) {
        Constraints k;
        set(k);
        return k;
    };
    // Six leads of one code in 3 parts: 96 changes a lead.
    const std::string six = "B-\nB-\nB \nB \nB-\nB \n";
    // How many methods.
    { SCOPED_TRACE("at most 2 methods"); check(six, with([](Constraints& k) { k.maxMethods = 2; }), true); }
    { SCOPED_TRACE("at least 5 methods"); check(six, with([](Constraints& k) { k.minMethods = 5; }), true); }
    { SCOPED_TRACE("exactly 3 methods"); check(six, with([](Constraints& k) { k.minMethods = k.maxMethods = 3; }), true); }
    // Each method's share.
    { SCOPED_TRACE("each at least 2 leads"); check(six, with([](Constraints& k) { k.minEach = 192; }), true); }
    { SCOPED_TRACE("each at most 1 lead"); check(six, with([](Constraints& k) { k.maxEach = 96; }), true); }
    { SCOPED_TRACE("balanced within 20%"); check(six, with([](Constraints& k) { k.balancePercent = 20; }), true); }
    // All the work, required and weighted.
    // A plain course: its one part rings all the work only in one method.
    const std::string course = "B \nB \nB \nB \nB \nB \nB \n";
    { SCOPED_TRACE("all the work"); check(course, with([](Constraints& k) { k.allTheWork = true; }), true); }
    { SCOPED_TRACE("work weighted"); check(six, with([](Constraints& k) { k.atwWeight = 3; }), true); }
    // Changes of method, counted with the part-end join.
    { SCOPED_TRACE("at most 5 changes"); check(six, with([](Constraints& k) { k.maxChangesOfMethod = 5; }), true); }
    { SCOPED_TRACE("8 to 12 changes"); check(six, with([](Constraints& k) { k.minChangesOfMethod = 8; k.maxChangesOfMethod = 12; }), true); }
    { SCOPED_TRACE("changes cost"); check(six, with([](Constraints& k) { k.comWeight = -7; }), true); }
    { SCOPED_TRACE("changes pay"); check(six, with([](Constraints& k) { k.comWeight = 2; k.maxMethods = 3; }), true); }
    { SCOPED_TRACE("two methods, few changes, long shares"); check(six, with([](Constraints& k) { k.minMethods = 2; k.maxChangesOfMethod = 5; k.minEach = 288; }), true); }
    { SCOPED_TRACE("calls weighted"); check(six, with([](Constraints& k) { k.bobWeight = 5; k.singleWeight = -3; k.maxMethods = 2; }), true); }
    // Kept leads count with the filled ones.
    { SCOPED_TRACE("kept leads, 3 methods"); check(kept, with([](Constraints& k) { k.maxMethods = 3; k.maxChangesOfMethod = 11; }), true); }
    { SCOPED_TRACE("kept leads, one method"); check(kept, with([](Constraints& k) { k.maxMethods = 1; }), false); }
    { SCOPED_TRACE("kept leads, few changes"); check(kept, with([](Constraints& k) { k.maxChangesOfMethod = 4; }), false); }
    { SCOPED_TRACE("kept leads, balanced"); check(kept, with([](Constraints& k) { k.balancePercent = 50; }), true); }
    EXPECT_GT(reported, 20);
}

TEST(FillConstraintsTest, AListOfNamesReplacesTheClassesAndNamesNoMethodTwice) {
    const MethodLibrary& standard = test::libraryIn(test::standardMethodsDir());
    auto c = read(test::readFile(test::repoDataDir() + "/quarnel.txt"), standard);
    FillOptions o;
    o.all = true;
    o.constraints.methods = {"cambridge", "Yorkshire S", "Lincolnshire Surprise", "Bristol", "ipswich", "Essex", "Cray",
                             "Glasgow", "Cornwall", "Cassiobury"};
    const FillProblem p = FillProblem::build(*c, standard, &classicMusic(), o);
    std::vector<std::string> listed;
    for (const std::string& name : o.constraints.methods) {
        const std::vector<std::string> found = MethodNameIndex().find(standard, name);
        ASSERT_EQ(found.size(), 1u) << name;
        listed.push_back(standard.notationOf(found.front()));
    }
    for (int i = 0; i < p.candidateCount(); ++i)
        EXPECT_NE(std::find(listed.begin(), listed.end(), p.notations()[static_cast<std::size_t>(p.method(i))]), listed.end());
    EXPECT_EQ(fill::runFill(p, o, std::atomic<bool>{false}, {}).status, FillStatus::Optimal);
}

TEST(FillConstraintsTest, ConstraintsNoFillCanKeepAreRefusedBeforeTheSearch) {
    const MethodLibrary& standard = test::libraryIn(test::standardMethodsDir());
    auto c = read(test::readFile(test::repoDataDir() + "/quarnel.txt"), standard);
    auto check = [&](const std::string& message, auto set) {
        SCOPED_TRACE(message);
        FillOptions o;
        o.all = true;
        set(o.constraints);
        EXPECT_THROW_MSG(FillProblem::build(*c, standard, nullptr, o), ModelError, message);
    };
    // Whatever the plan.
    check("Contradictory constraints: at least 4 methods but at most 3", [](Constraints& k) { k.minMethods = 4; k.maxMethods = 3; });
    check("Contradictory constraints: at least 3 methods but only 2 given", [](Constraints& k) { k.minMethods = 3; k.methods = {"Cambridge", "Bristol"}; });
    check("Contradictory constraints: at least 200 changes of each method but at most 100",
          [](Constraints& k) { k.minEach = 200; k.maxEach = 100; });
    check("Contradictory constraints: all the work is either required or weighted, not both",
          [](Constraints& k) { k.allTheWork = true; k.atwWeight = 1; });
    check("No method named \"Nowhere\"", [](Constraints& k) { k.methods = {"Nowhere"}; });
    check("No fill of this plan can keep the constraints: at least 2 methods, but only 1 of those given or kept have the "
          "plan's lead-head codes",
          [](Constraints& k) { k.methods = {"Cambridge", "Essex"}; k.minMethods = 2; });
    check("No fill of this plan can keep the constraints: no fill can ring all the work: no lead-head code of the plan "
          "starts every bell in every place in its leads over all parts",
          [](Constraints& k) { k.allTheWork = true; });
    // Against 8 leads of 5 parts (1280 changes, 160 a lead).
    check("No fill of this plan can keep the constraints: at least 1300 changes of each method, but the composition has only 1280",
          [](Constraints& k) { k.minEach = 1300; });
    check("No fill of this plan can keep the constraints: at most 100 changes of each method is less than one lead (160 changes)",
          [](Constraints& k) { k.maxEach = 100; });
    check("No fill of this plan can keep the constraints: each method needs at least 2 leads but may have at most 1 (8 leads of 160 changes)",
          [](Constraints& k) { k.minEach = 200; k.maxEach = 300; });
    check("No fill of this plan can keep the constraints: at least 5 methods of at least 2 leads each, but the composition has 8 leads of 160 changes",
          [](Constraints& k) { k.minMethods = 5; k.minEach = 320; });
    check("No fill of this plan can keep the constraints: at least 40 changes of method, but 8 leads of 160 changes in 5 parts have at most 39",
          [](Constraints& k) { k.minChangesOfMethod = 40; });
    check("No fill of this plan can keep the constraints: at least 3 methods need at least 14 changes of method, but at most 13 are allowed",
          [](Constraints& k) { k.minMethods = 3; k.maxChangesOfMethod = 13; });
    check("No fill of this plan can keep the constraints: no number of methods the other constraints allow can share 8 leads of 160 changes within 10% of the mean",
          [](Constraints& k) { k.balancePercent = 10; k.minMethods = 3; k.maxMethods = 3; });
}

// A search that proves no fill exists says which constraints none keeps,
// as the composer set them, or that no true fill exists at all.
TEST(FillConstraintsTest, NoFillNamesTheConstraintsNoTrueFillKeeps) {
    const MethodLibrary& standard = test::libraryIn(test::standardMethodsDir());
    const std::string kept = "B- Cambridge S\nB-\nB \nB  Yorkshire S\nB-\nB \n";
    auto with = [](auto set) {
        Constraints k;
        set(k);
        return k;
    };
    const struct {
        Constraints k;
        const char* text;
    } rows[] = {
        {{}, "No true fill exists"},
        {with([](Constraints& k) { k.methods = {"Cambridge"}; }), "No true fill exists"},
        {with([](Constraints& k) { k.maxMethods = 1; }), "No true fill keeps the constraints: at most 1 method"},
        {with([](Constraints& k) { k.maxChangesOfMethod = 4; }),
         "No true fill keeps the constraints: at most 4 changes of method"},
        {with([](Constraints& k) {
             k.minMethods = 2;
             k.maxEach = 96;
             k.balancePercent = 25;
             k.allTheWork = true;
             k.maxChangesOfMethod = 20;
         }),
         "No true fill keeps the constraints: at least 2 methods, at most 96 changes of each method, each method's "
         "changes within 25% of the mean, all the work, at most 20 changes of method"},
    };
    for (const auto& row : rows) EXPECT_EQ(fill::noTrueFillText(row.k), row.text);
    // Both kept-lead cases no fill keeps, proved by the search.
    for (const int row : {2, 3}) {
        FillOptions o;
        o.constraints = rows[row].k;
        auto c = read(kept, standard);
        const FillProblem p = FillProblem::build(*c, standard, &classicMusic(), o);
        EXPECT_EQ(fill::runFill(p, o, std::atomic<bool>{false}, {}).status, FillStatus::NoTrueFill) << rows[row].text;
    }
}

}  // namespace
}  // namespace quarnel
