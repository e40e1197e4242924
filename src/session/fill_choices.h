#pragma once
// What the Fill window asks before a search starts, beside the dialog's
// class and generator fields: the composer's constraints, a time limit and
// whether every lead is filled again; and the methods it offers to tick.
#include <string>
#include <vector>

#include "fill/fill_options.h"
#include "search/constraints.h"
#include "session/dialog_fields.h"

namespace quarnel {

class Composition;
class MethodLibrary;

struct FillChoices {
    search::Constraints constraints;
    double timeLimitSeconds = 0;  // 0: none
    bool refillAll = false;       // every lead, as --all
};

// The fill options of the dialog's fields with the window's choices.
fill::FillOptions fillOptionsOf(const DialogFields& fields, const FillChoices& choices);

// The library names of the lead-head codes the composition's plan uses, in
// byte order: the methods a list of them may name.
std::vector<std::string> methodNamesOfPlan(const Composition& composition, const MethodLibrary& library);

// The standard eight Surprise Major methods, by library name.
const std::vector<std::string>& standardEight();

}  // namespace quarnel
