#pragma once
// The application: builds the one dialog, runs it until it closes, and ends.

namespace quarnel {

class ComposerApp {
public:
    // quarnel [FILE] [--help]
    int run(int argc, char** argv);
    static const char* const Usage;
};

}  // namespace quarnel
