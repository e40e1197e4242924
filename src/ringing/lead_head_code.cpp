#include "ringing/lead_head_code.h"

#include "ringing/lead_end_table.h"

namespace quarnel {

const Row& LeadHeadCode::leadEndRow() const {
    // The letter is one of the twelve the table holds.
    const char key[1] = {letter_};
    return *LeadEndTable::lookup(std::string_view(key, 1));
}

}  // namespace quarnel
