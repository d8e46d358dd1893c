#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QToolButton;
class QWidget;

namespace kalvor {
class TAppSettings;
class Table;
} // namespace kalvor

namespace kalvor::period {
struct CarryOverPlan;
}

namespace kalvor::gui {

// What the period commands need of the main window.
struct PeriodWindowHooks {
    std::function<void()> closeViews;
    std::function<void()> reopenViews;
    // The settings name another period (or other files): the period line, the requisites line and
    // everything that depends on the period follow them.
    std::function<void()> periodChanged;
    std::function<void(const QString &)> showVersion; // the hidden label lblVersion
    std::function<Table *()> positionsView;           // the positions of the selected invoice
    // The completeness report on the loaded report's objects, the last step of loading a report folder.
    std::function<void()> reportObjects;
};

// The exchange commands of the main window: a new period with the remains carried over, loading a
// handed-in report, adding or replacing the report, handing the period's files out, the remains
// reconciliation, the flat text export and the deletion of the positions that export found unlinked.
class PeriodCommands final : public QObject {
    Q_OBJECT
public:
    PeriodCommands(TAppSettings &settings, QWidget *window, PeriodWindowHooks hooks, QObject *parent = nullptr);

    void LoadAccountActionExecute();
    void ImportToDBActionExecute();
    void LoadAddDeclarationActionExecute();
    void ExportToXMLActionExecute();
    void N18Click();
    void UpDateClick();
    void BtnDelErrorsClick();

    QAction *LoadAccountAction = nullptr;
    QAction *LoadAddDeclarationAction = nullptr;
    QAction *ExportToXMLAction = nullptr;
    QAction *ImportToDBAction = nullptr;
    QAction *N18 = nullptr;
    QAction *UpDate = nullptr;
    QAction *BtnDelErrors = nullptr;
    // Made by createActions(): tool buttons SpeedButton1, SpeedButton11, SpeedButtonExport, SpeedButton10
    // (visible) and SpeedButton17, BtnDelErrors (hidden) are placed by the window.
    void createActions(QObject *owner);

    // --- seams for tests -----------------------------------------------------------------------
    // The open-file dialog of the adding command; returns the chosen file or an empty text.
    void setFileChooser(std::function<QString(QWidget *)> chooser) { m_chooseFile = std::move(chooser); }
    // Starts the archiver; QProcess::startDetached by default.
    void setLauncher(std::function<bool(const QString &, const QStringList &)> launcher)
    {
        m_launch = std::move(launcher);
    }

private:
    // Closes the views, runs `work`, reopens the views also after a failure and shows the message or
    // the error. Returns whether the work succeeded.
    bool runOnDeclaration(const std::function<QString()> &work);
    // Closes the views, lets `change` point the settings at another period and shows it; after a
    // failure the previous period comes back with the error. Returns whether the change was made.
    bool switchPeriod(const std::function<void()> &change);
    void reopen();
    // Asks before a new month replaces an existing one, naming how many rows it holds; "Нет" by default.
    bool confirmReplacement(const period::CarryOverPlan &plan);

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    PeriodWindowHooks m_hooks;
    std::function<QString(QWidget *)> m_chooseFile;
    std::function<bool(const QString &, const QStringList &)> m_launch;
};

} // namespace kalvor::gui
