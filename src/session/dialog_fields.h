#pragma once
// The composer dialog's fields, exchanged with its controls. The first group
// is read from and written to the controls; the second group only written.
#include <string>

namespace quarnel {

struct DialogFields {
    // Read and written.
    std::string methodName;
    bool namedOnly = false;
    std::string leadHeadCodeText = "*";
    bool twoPlaces = false;
    bool rightPlace = false;
    bool symmetricSections = false;
    int leadNumber = 1;
    int maxFalseness = 0;
    int viewChoice = 0;  // 0 Composition, 1 Methods
    bool allowSurprise = true;
    bool allowDelight = false;
    bool allowTrebleBob = false;
    // Written only.
    std::string placeNotationText;
    int leadMusic = 0;
    int candidateMusic = 0;
    int totalMusic = 0;
    std::string statusText;
};

}  // namespace quarnel
