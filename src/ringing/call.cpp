#include "ringing/call.h"

#include "ringing/lead_end_table.h"

namespace quarnel {

const Row& leadEndChangeRow(Call call, LeadEndGroup group) {
    // The table holds the single's change under "s", the others under their
    // place notation.
    return *LeadEndTable::lookup(call == Call::Single ? std::string_view("s") : leadEndChangeOf(call, group));
}

}  // namespace quarnel
