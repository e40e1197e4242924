#include "ringing/lead_end_table.h"

#include <array>

#include "ringing/model_error.h"

namespace quarnel {
namespace {

bool tableBuilt = false;

struct Entry {
    std::string_view key;
    int row;  // index into the table's rows
};

struct Table {
    std::array<Row, 9> rows;
    std::array<Entry, 16> entries;
};

Table build() {
    static constexpr std::array<std::string_view, 9> texts = {
        "13254768", "15372846", "17583624", "18765432", "16847253",
        "14628375", "12436587", "13246587", "12346587"};
    Table t{};
    for (std::size_t i = 0; i < texts.size(); ++i) t.rows[i] = *Row::fromSymbols(texts[i]);
    t.entries = {{{"18", 0}, {"A", 0}, {"G", 1}, {"B", 1}, {"H", 2}, {"C", 2}, {"J", 3}, {"D", 3},
                  {"K", 4}, {"E", 4}, {"L", 5}, {"F", 5}, {"M", 6}, {"12", 6}, {"14", 7}, {"s", 8}}};
    tableBuilt = true;
    return t;
}

const Table& table() {
    static const Table t = build();
    return t;
}

}  // namespace

namespace LeadEndTable {

const Row* lookup(std::string_view key) {
    const Table& t = table();
    for (const Entry& e : t.entries)
        if (e.key == key) return &t.rows[static_cast<std::size_t>(e.row)];
    return nullptr;
}

bool isBuilt() { return tableBuilt; }

}  // namespace LeadEndTable

const Row* leadEndRowOf(char code) {
    if (code < 'A' || (code > 'Z' && code < 'a') || code > 'z') return nullptr;
    const char key[1] = {upperCode(code)};
    return LeadEndTable::lookup(std::string_view(key, 1));
}

Row Row::transposedBy(std::string_view key) const {
    const Row* r = LeadEndTable::lookup(key);
    if (r == nullptr) throw ModelError(kBadLeadEndGroup);
    return times(*r);
}

}  // namespace quarnel
