#include "ui/composer_app.h"

int main(int argc, char** argv) {
    quarnel::ComposerApp app;
    return app.run(argc, argv);
}
