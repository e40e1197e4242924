#pragma once
// A Major method (a half lead of 16 changes, a lead of 32 rows) built from a
// library name or from a notation text, taking names from the library.
#include <memory>
#include <string_view>

#include "methods/method_library.h"
#include "ringing/method.h"

namespace quarnel {

class MajorMethod : public Method {
public:
    static constexpr int HalfLength = 16;

    // A library name gives the library's notation text and keeps the name;
    // any other text is read as a notation text and the method has no name.
    explicit MajorMethod(std::string_view text, const MethodLibrary& library = MethodLibrary::instance());
    // The method of a notation text already read into its code letter and
    // its 16 changes (see Method); for a text that is no library name it is
    // the method MajorMethod(text) gives.
    MajorMethod(char code, const Change* const* changes, const MethodLibrary& library);

    std::unique_ptr<Method> clone() const override;
    std::string nameFromNotation(std::string_view notation) const override;

private:
    MajorMethod(std::string_view text, std::string_view notation, const MethodLibrary& library);
    const MethodLibrary* library_;
};

}  // namespace quarnel
