#pragma once

#include "editing/DeclarationViews.h"
#include "editing/HighlightRules.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

class TDeleteForm;

// What the editing commands need of the main window.
struct EditingWindowHooks {
    std::function<const TAppSettings *()> settings; // null until the start-up made them
    // Reads the declaration again into the views on these record numbers; false after the message.
    std::function<bool(const ViewCursor &)> reopenViews;
    std::function<DeclarationMonth()> declarationMonth; // the month of the period line
};

// The invoice, position and transfer commands of the main window: each runs its entry dialog (or the
// deletion question) over the selected rows of the window's views, saves the declaration and brings the
// views back on the changed row. Their enabling follows the views.
class EditingCommands final : public QObject {
    Q_OBJECT
public:
    EditingCommands(DeclarationViews &views, QWidget *window, EditingWindowHooks hooks, QObject *parent = nullptr);

    void AddInvoiceActionExecute();
    void EditInvoiceActionExecute();
    void DeleteInvoiceActionExecute();
    void AddProductionActionExecute();
    void EditProductionActionExecute();
    void CopyProductionActionExecute();
    void DeleteProductionActionExecute();
    void AddInnerTransferActionExecute();
    void EditInnerTransferActionExecute();
    void DeleteInnerTransferActionExecute();
    // Why a delete command is unavailable for the selected row (a position with transfers, an invoice
    // with positions); empty when it is available or nothing is selected.
    QString deleteUnavailableReason(const QAction *remove) const;

    QAction *AddInvoiceAction = nullptr;
    QAction *EditInvoiceAction = nullptr;
    QAction *DeleteInvoiceAction = nullptr;
    QAction *AddProductionAction = nullptr;
    QAction *EditProductionAction = nullptr;
    QAction *DeleteProductionAction = nullptr;
    QAction *CopyProductionAction = nullptr;
    QAction *AddInnerTransferAction = nullptr;
    QAction *EditInnerTransferAction = nullptr;
    QAction *DeleteInnerTransferAction = nullptr;
    // Asks every delete command; made with the commands, a child of the window.
    TDeleteForm *DeleteForm = nullptr;

    // Makes the actions (owned by `owner`) and connects them; until a period is open only adding an
    // invoice is enabled.
    void createActions(QObject *owner);
    // The views moved: the position and/or transfer views count as reopened, and the actions follow.
    void viewsShown(bool positionViewOpened, bool transferViewOpened);

private:
    // Runs an entry dialog: `entry` shows it and saves what was accepted (false when cancelled); after a
    // save the views come back on `after`, a failure is shown.
    void runEntryDialog(const std::function<bool()> &entry, const ViewCursor &after);

    DeclarationViews &m_views;
    QPointer<QWidget> m_window;
    EditingWindowHooks m_hooks;
    EditingAvailability m_enabled;
};

} // namespace kalvor::gui
