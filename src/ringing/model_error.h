#pragma once
// The one error the model raises. It carries only the text the composer is
// shown ("Attempt to insert false row", "Bad lead end group", ...). Lookups
// that merely find nothing return an empty text instead of throwing.
#include <stdexcept>
#include <string>
#include <utility>

namespace quarnel {

class ModelError : public std::runtime_error {
public:
    explicit ModelError(const std::string& message) : std::runtime_error(message) {}
    // A message with where it arose, e.g. "line 7: lead head 15738264
    // repeats"; what() stays the message alone.
    ModelError(const std::string& message, std::string detail)
        : std::runtime_error(message), detail_(std::move(detail)) {}
    const std::string& detail() const { return detail_; }
    // The message followed by the detail in brackets, when there is one.
    std::string describe() const { return detail_.empty() ? std::string(what()) : std::string(what()) + " (" + detail_ + ")"; }

private:
    std::string detail_;
};

inline constexpr const char* kBadLeadEndGroup = "Bad lead end group";
inline constexpr const char* kInsertFalseRow = "Attempt to insert false row";
inline constexpr const char* kDeleteMissingRow = "Attempt to delete non-existent row";

}  // namespace quarnel
