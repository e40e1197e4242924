#pragma once
// What the composer sees before taking a fill: a composition of its own,
// read back from the loaded composition's save text, with the fill's
// methods committed to their leads as Take would commit them. The loaded
// composition is only read, so leaving the fill leaves it exactly as it was.
#include <memory>

#include "fill/fill.h"

namespace quarnel {

class Composition;
class MethodLibrary;

// The composition as it would be with the fill taken; none when the result
// has no method to show or the copy cannot be read. Call it only while no
// search runs: reading the copy sets the process-wide part end (to the value
// it already has).
std::unique_ptr<Composition> previewComposition(const Composition& live, const MethodLibrary& library,
                                                const fill::FillResult& result);

}  // namespace quarnel
