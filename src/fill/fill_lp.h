#pragma once
// A Fill written as an integer program in the LP text format that general
// solvers read (COIN-OR CBC, GLPK, HiGHS, SCIP), so that a composer or a
// developer can check Fill's optimum and bound with a solver of their own.
// One binary variable a candidate (x0, x1, ... in candidate order); the
// objective is the candidates' music; each lead takes exactly one
// candidate, each row two leads could ring is rung at most once, and under
// a limit on a method's uses the method's candidates are at most the uses
// left. The music of the lead heads, lead ends and kept leads is constant
// and written in a comment, as is each variable's lead and method.
#include <iosfwd>

namespace quarnel::fill {

class FillProblem;

// Writes the problem. Throws ModelError when it cannot be written: a lead
// has no candidate, or the composer's constraints are asked for (counts,
// balance, all the work and the weights are not written as an integer
// program).
void writeLp(const FillProblem& problem, std::ostream& out);

}  // namespace quarnel::fill
