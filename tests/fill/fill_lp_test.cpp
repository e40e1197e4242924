#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <sstream>

#include "fill/fill.h"
#include "fill/fill_lp.h"
#include "fill/fill_test_data.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel {
namespace {

using fill::FillOptions;
using fill::FillProblem;

// The integer program as read back from its text: the objective, and each
// constraint's variables, sense and right-hand side.
struct Program {
    std::map<int, long long> objective;
    struct Row {
        std::vector<int> vars;
        bool equal = false;
        int rhs = 0;
    };
    std::vector<Row> rows;
    std::vector<int> binary;
    long long constant = LLONG_MIN;
};

int variable(const std::string& token) {
    EXPECT_EQ(token.front(), 'x') << token;
    return std::stoi(token.substr(1));
}

Program readProgram(const std::string& text) {
    Program p;
    std::istringstream lines(text);
    std::string line, words;
    while (std::getline(lines, line)) {
        if (line.rfind("\\ The lead heads", 0) == 0) {
            std::istringstream s(line.substr(line.find(" have ") + 6));
            s >> p.constant;
        }
        if (!line.empty() && line.front() != '\\') words += line + "\n";
    }
    std::istringstream in(words);
    std::string t;
    in >> t;
    EXPECT_EQ(t, "Maximize");
    in >> t;
    EXPECT_EQ(t, "music:");
    while (in >> t && t != "Subject") {
        std::string coefficient, name;
        in >> coefficient >> name;
        p.objective[variable(name)] = (t == "-" ? -1 : 1) * std::stoll(coefficient);
    }
    in >> t;
    EXPECT_EQ(t, "To");
    while (in >> t && t != "Binary") {
        EXPECT_EQ(t.back(), ':') << t;
        Program::Row row;
        while (in >> t && t == "+") {
            in >> t;
            row.vars.push_back(variable(t));
        }
        row.equal = t == "=";
        EXPECT_TRUE(row.equal || t == "<=") << t;
        in >> row.rhs;
        p.rows.push_back(row);
    }
    while (in >> t && t != "End") p.binary.push_back(variable(t));
    return p;
}

// The best objective of the program by trying every choice of one variable
// in each "= 1" row, the "<=" rows kept at every step; LLONG_MIN when none
// keeps them.
long long solve(const Program& p) {
    std::vector<const Program::Row*> groups;
    std::map<int, std::vector<std::size_t>> rowsOf;
    for (std::size_t k = 0; k < p.rows.size(); ++k) {
        if (p.rows[k].equal) {
            EXPECT_EQ(p.rows[k].rhs, 1);
            groups.push_back(&p.rows[k]);
        } else {
            for (const int v : p.rows[k].vars) rowsOf[v].push_back(k);
        }
    }
    std::vector<int> load(p.rows.size(), 0);
    long long best = LLONG_MIN;
    std::function<void(std::size_t, long long)> walk = [&](std::size_t g, long long sum) {
        if (g == groups.size()) {
            best = std::max(best, sum);
            return;
        }
        for (const int v : groups[g]->vars) {
            bool fits = true;
            for (const std::size_t k : rowsOf[v]) fits = fits && load[k] < p.rows[k].rhs;
            if (!fits) continue;
            for (const std::size_t k : rowsOf[v]) ++load[k];
            walk(g + 1, sum + p.objective.at(v));
            for (const std::size_t k : rowsOf[v]) --load[k];
        }
    };
    walk(0, 0);
    return best;
}

TEST(FillLpTest, TheProgramsOptimumIsTheFillsOptimum) {
    const std::string quarnel = test::readFile(test::repoDataDir() + "/quarnel.txt");
    const auto [all, different, twice, empty] = test::fillOptionSets();
    const struct {
        const char* name;
        std::string plan;
        FillOptions options;
    } cases[] = {
        {"quarnel", quarnel, all},
        {"all different", quarnel, different},
        {"at most twice", quarnel, twice},
        {"kept leads", "D- Ipswich S\nL \nC \nH- Essex S\nEs \nHs \nE \nG Glasgow S\n", empty},
    };
    const MethodLibrary& l = test::libraryIn(test::standardMethodsDir());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto composition = test::readText(c.plan, l);
        const FillProblem problem = FillProblem::build(*composition, l, &test::classicMusic(), c.options);
        std::ostringstream text;
        fill::writeLp(problem, text);
        const Program program = readProgram(text.str());
        EXPECT_EQ(static_cast<int>(program.binary.size()), problem.candidateCount());
        EXPECT_EQ(program.constant, problem.fixedMusic());
        FillOptions o = c.options;
        o.threads = 2;
        const fill::FillResult r = fill::runFill(problem, o, std::atomic<bool>{false}, {});
        const long long best = solve(program);
        if (r.status == fill::FillStatus::NoTrueFill) {
            EXPECT_EQ(best, LLONG_MIN);
            continue;
        }
        ASSERT_EQ(r.status, fill::FillStatus::Optimal);
        EXPECT_EQ(program.constant + best, r.music);
    }
}

TEST(FillLpTest, WhatTheProgramCannotSayIsRefused) {
    const MethodLibrary& l = test::libraryIn(test::standardMethodsDir());
    MethodLibrary cambridgeOnly;
    cambridgeOnly.addMethod(l.notationOf("Cambridge S"), "Cambridge S", "Cambridge");
    FillOptions o;
    o.all = true;
    auto noCandidate = test::readText(test::readFile(test::repoDataDir() + "/quarnel.txt"), cambridgeOnly);
    std::ostringstream text;
    EXPECT_THROW(fill::writeLp(FillProblem::build(*noCandidate, cambridgeOnly, nullptr, o), text), ModelError);
    FillOptions constrained = o;
    constrained.constraints.allTheWork = true;
    auto plan = test::readText("B-\nB \n", l);
    EXPECT_THROW(fill::writeLp(FillProblem::build(*plan, l, nullptr, constrained), text), ModelError);
    EXPECT_TRUE(text.str().empty());
}

}  // namespace
}  // namespace quarnel
