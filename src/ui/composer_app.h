#pragma once
// The application: builds the one dialog, runs it until it closes, and ends.

namespace quarnel {

class ComposerApp {
public:
    int run(int argc, char** argv);
};

}  // namespace quarnel
