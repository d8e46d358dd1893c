#pragma once

#include <QMainWindow>

class QApplication;
class QAction;

namespace kalvor::gui {

// The main window of the desktop program.
class TMainForm final : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);

    QAction *ExitAction = nullptr;

private:
    void ExitActionExecute();
};

// Sets up the application (title, Russian standard buttons), shows the main window and runs the loop.
int runDesktop(QApplication &app);

} // namespace kalvor::gui
