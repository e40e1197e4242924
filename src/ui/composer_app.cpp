#include "ui/composer_app.h"

#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <cstdio>
#include <string>

#include "methods/library_location.h"
#include "ui/composer_dialog.h"

namespace quarnel {

const char* const ComposerApp::Usage =
    "usage: quarnel [FILE]\n"
    "Starts the Quarnel composing aid in the current folder. It reads the method\n"
    "libraries S8, D8 and T8 (or CCCBR_methods.xml) there, or, when the folder has\n"
    "none of them, the library installed with Quarnel. With FILE, opens that\n"
    "composition file at start (as a file manager does when a composition is opened\n"
    "with Quarnel).\n"
    "  --help    shows this text\n";

int ComposerApp::run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarnel"));
    // QApplication has taken its own options out of the arguments.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(Usage, stdout);
        const std::string library =
            "Method library: " + programLibrary("", QCoreApplication::applicationFilePath().toStdString().c_str()).describe() + "\n";
        std::fputs(library.c_str(), stdout);
        return 0;
    }
    if (arguments.size() > 1 || (!arguments.isEmpty() && arguments.front().startsWith(QLatin1Char('-')))) {
        std::fputs(Usage, stderr);
        return 2;
    }
    ComposerDialog dialog;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) dialog.fitToScreen(screen->availableGeometry().size());
    dialog.show();
    dialog.loadMusicAtStart();
    if (!arguments.isEmpty()) dialog.openAtStart(arguments.front().toStdString());
    dialog.exec();
    return 0;
}

}  // namespace quarnel
