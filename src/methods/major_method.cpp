#include "methods/major_method.h"

namespace quarnel {

MajorMethod::MajorMethod(std::string_view text, const MethodLibrary& library)
    : MajorMethod(text, library.notationOf(text), library) {}

MajorMethod::MajorMethod(std::string_view text, std::string_view notation, const MethodLibrary& library)
    : Method(text, HalfLength, notation), library_(&library) {}

MajorMethod::MajorMethod(char code, const Change* const* changes, const MethodLibrary& library)
    : Method(code, changes, HalfLength), library_(&library) {}

std::unique_ptr<Method> MajorMethod::clone() const { return std::make_unique<MajorMethod>(*this); }

std::string MajorMethod::nameFromNotation(std::string_view notation) const { return library_->nameOf(notation); }

}  // namespace quarnel
