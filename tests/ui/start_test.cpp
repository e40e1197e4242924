#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "methods/method_library.h"
#include "ui/composer_dialog.h"

namespace quarnel {

// The desktop program started from a folder without a library, as from a
// desktop menu in the user's home: it reads the library that comes with it
// and its status at start says so.
class StartTest : public QObject {
    Q_OBJECT

private slots:
    void startFromAFolderWithoutALibraryReadsTheOneThatComesWithTheProgram() {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(empty.path()));
        QCOMPARE(MethodLibrary::instance().size(), std::size_t{0});
        {
            ComposerDialog dialog;
            const auto* status = dialog.findChild<QPlainTextEdit*>(QStringLiteral("1023"));
            QVERIFY(status != nullptr);
            const QString text = status->toPlainText();
            // Run from the build tree, the library that comes with the program is the source's data/.
            const QString expected = QStringLiteral("Method library: %1 methods from " QUARNEL_REPO_DATA
                                                    " (the library that comes with Quarnel)\n")
                                         .arg(MethodLibrary::instance().size());
            QCOMPARE(text, expected);
            QVERIFY(MethodLibrary::instance().size() > 7000);
            QVERIFY(!MethodLibrary::instance().notationOf("Cambridge S").empty());
        }
        QVERIFY(QDir::setCurrent(before));
    }
};

}  // namespace quarnel

QTEST_MAIN(quarnel::StartTest)
#include "start_test.moc"
