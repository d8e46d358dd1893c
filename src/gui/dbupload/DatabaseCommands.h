#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QToolButton;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The authority's database commands of the main window: uploading the open period's declaration
// (SpeedButton14 "Выгрузить в БД"), adding a requisites record (SpeedButton15 "Добавить log") and the
// batch upload of a folder of handed-in reports ("Сервис" -> N37 "Пакетная выгрузка в БД.."). All three
// stay hidden unless the service option ([service] show_hidden=1 in tamrel.ini) shows them.
class DatabaseCommands final : public QObject {
    Q_OBJECT
public:
    // `shareDir` holds the database scripts (for a new embedded database).
    DatabaseCommands(TAppSettings &settings, QWidget *window, QString shareDir, QObject *parent = nullptr);

    void UpdateToDBActionExecute();
    void UpdateToDBKalvorActionExecute();
    void N37Click();

    QAction *UpdateToDBAction = nullptr;
    QAction *UpdateToDBKalvorAction = nullptr;
    QAction *N37 = nullptr;
    QToolButton *SpeedButton14 = nullptr;
    QToolButton *SpeedButton15 = nullptr;

    // Makes the actions (N37 goes into "Сервис") and the two tool buttons (the window places them).
    void createActions(QObject *owner, QWidget *buttonParent);
    void setServiceVisible(bool visible);

private:
    // Runs an upload of the open period behind the progress window; failures get `failure` first.
    void runUpload(const char *failure, bool kalvorLog);

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    QString m_shareDir;
};

} // namespace kalvor::gui
