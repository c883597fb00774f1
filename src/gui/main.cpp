// replidex: the replay list manager's window program.
#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <cstdlib>
#include <exception>

#include "gui/main/ApplicationWindows.h"
#include "platform/ProcessStart.h"

namespace {

// The program's own font, "ＭＳ Ｐゴシック" 9pt, when the system has it; else
// the system's UI font. With no desktop to name a UI font, Qt falls back to
// the generic "Sans Serif", which draws Japanese with a fixed-pitch font; the
// proportional IPA P Gothic (made to the metrics of the program's own font)
// then draws it instead when it is installed.
void ChooseFont()
{
    const QStringList families = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")}) {
        if (families.contains(family)) {
            QApplication::setFont(QFont(family, 9));
            return;
        }
    }
    const QString generic = QStringLiteral("Sans Serif");
    const QString proportional = QStringLiteral("IPAPGothic");
    if (QApplication::font().family() == generic && families.contains(proportional))
        QFont::insertSubstitution(generic, proportional);
}

// Qt's own texts (the file and folder dialogs) in Japanese, like the rest of
// the program, when the translations are installed.
void LoadQtTranslation(QApplication& app, QTranslator& translator)
{
    if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

// Shows an error that escaped start-up or an event handler; the program then
// ends.
void ShowFatalError(const char* what)
{
    QMessageBox::critical(nullptr, QStringLiteral("Replidex"), QString::fromLocal8Bit(what));
}

class Application final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowFatalError(error.what());
        } catch (...) {
            ShowFatalError("unknown error");
        }
        std::exit(EXIT_FAILURE);
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    replidex::IgnoreFileSizeLimitSignal();
    Application app(argc, argv);
    Q_INIT_RESOURCE(replidex);   // the images live in the static GUI library
    QApplication::setApplicationName(QStringLiteral("Replidex"));
    QApplication::setApplicationVersion(QStringLiteral("1.20"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/replidex.svg")));
    ChooseFont();
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTranslation;
    LoadQtTranslation(app, qtTranslation);

    try {
        replidex::ApplicationWindows windows(replidex::StartupOptionsFromApplication());
        windows.mainWindow()->show();
        return app.exec();
    } catch (const std::exception& error) {
        ShowFatalError(error.what());
    }
    return EXIT_FAILURE;
}
