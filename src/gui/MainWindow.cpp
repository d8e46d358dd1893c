#include "gui/MainWindow.h"

#include "app/Version.h"

#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QTranslator>

namespace kalvor::gui {

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(mainWindowCaption(versionText()));
    resize(1024, 700);

    ExitAction = new QAction(QStringLiteral("Выход"), this);
    ExitAction->setObjectName(QStringLiteral("ExitAction"));
    connect(ExitAction, &QAction::triggered, this, &TMainForm::ExitActionExecute);
    QMenu *fileMenu = menuBar()->addMenu(QStringLiteral("Файл"));
    fileMenu->addAction(ExitAction);
}

void TMainForm::ExitActionExecute() { close(); }

int runDesktop(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Kalvor "));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    TMainForm window;
    window.show();
    return app.exec();
}

} // namespace kalvor::gui
