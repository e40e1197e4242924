#pragma once
// Whether the limit on a method's uses (--all-different, --max-uses, the
// most changes of each method) leaves enough methods for the leads at all:
// each lead needs a method among its candidates' methods and each method
// serves no more leads than its uses left, whatever the falseness. When no
// such matching of leads to methods exists no true fill exists, and this
// proves it at once where the search would walk a tree that cannot end in
// a fill (35 leads of one lead-head code from a handful of methods, each at
// most twice).
namespace quarnel::fill {

class FillProblem;

// True when every lead to fill can be given a method of its candidates
// within the methods' uses left (always true without a limit).
bool usesAllowAFill(const FillProblem& problem);

}  // namespace quarnel::fill
