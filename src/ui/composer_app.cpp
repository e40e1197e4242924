#include "ui/composer_app.h"

#include <QApplication>

#include "ui/composer_dialog.h"

namespace quarnel {

int ComposerApp::run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarnel"));
    ComposerDialog dialog;
    dialog.exec();
    return 0;
}

}  // namespace quarnel
