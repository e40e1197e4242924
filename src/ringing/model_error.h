#pragma once
// The one error the model raises. It carries only the text the composer is
// shown ("Attempt to insert false row", "Bad lead end group", ...). Lookups
// that merely find nothing return an empty text instead of throwing.
#include <stdexcept>
#include <string>

namespace quarnel {

class ModelError : public std::runtime_error {
public:
    explicit ModelError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr const char* kBadLeadEndGroup = "Bad lead end group";
inline constexpr const char* kInsertFalseRow = "Attempt to insert false row";
inline constexpr const char* kDeleteMissingRow = "Attempt to delete non-existent row";

}  // namespace quarnel
