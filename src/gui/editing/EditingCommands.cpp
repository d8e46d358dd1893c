#include "gui/editing/EditingCommands.h"

#include "app/TAppSettings.h"
#include "app/Version.h"
#include "editing/PositionEditing.h"
#include "editing/TransferEditing.h"
#include "gui/common/ActionIcons.h"
#include "gui/common/MessageBoxes.h"
#include "gui/editing/DeleteForm.h"
#include "gui/editing/InnerTransferForm.h"
#include "gui/editing/InvoiceForm.h"
#include "gui/editing/ProductionForm.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QAction>

namespace kalvor::gui {
namespace {

TInvoiceForm::Setup invoiceSetupFor(const TAppSettings &settings, const DeclarationMonth &month)
{
    TInvoiceForm::Setup setup;
    setup.declarationFileName = settings.FDeclarationFileName;
    setup.supplierFileName = settings.FSupplierFileName;
    setup.departmentFileName = settings.FDepartmentCodeFileName;
    setup.stem = settings.FINNYYMMCC;
    setup.versionText = versionText();
    // The period line decides; a year it cannot show (outside its list) falls back to the period's own.
    setup.declarationYear = month.year ? *month.year : 2000 + settings.FPeriodYear;
    setup.declarationMonth = month.month >= 1 ? month.month : settings.FPeriodMonth;
    return setup;
}

TProductionForm::Setup productionSetupFor(const TAppSettings &settings)
{
    TProductionForm::Setup setup;
    setup.declarationFileName = settings.FDeclarationFileName;
    setup.productionReferenceFileName = settings.FProductionReferenceFileName;
    setup.productionFileName = settings.FProductionFileName;
    setup.regionsFileName = settings.FRegionsFileName;
    setup.departmentFileName = settings.FDepartmentCodeFileName;
    return setup;
}

TInnerTransferForm::Setup transferSetupFor(const TAppSettings &settings)
{
    return {settings.FDeclarationFileName, settings.FDepartmentCodeFileName};
}

} // namespace

EditingCommands::EditingCommands(DeclarationViews &views, QWidget *window, EditingWindowHooks hooks, QObject *parent)
    : QObject(parent), m_views(views), m_window(window), m_hooks(std::move(hooks))
{
    DeleteForm = new TDeleteForm(window);
}

void EditingCommands::createActions(QObject *owner)
{
    const auto make = [this, owner](const char *name, const QString &hint, ActionIcon icon,
                                    void (EditingCommands::*handler)()) {
        auto *a = new QAction(actionIcon(icon), hint, owner);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    AddInvoiceAction = make("AddInvoiceAction", QStringLiteral("Создать новую накладную"), ActionIcon::Add,
                            &EditingCommands::AddInvoiceActionExecute);
    EditInvoiceAction = make("EditInvoiceAction", QStringLiteral("Редактировать накладную"),
                             ActionIcon::Edit, &EditingCommands::EditInvoiceActionExecute);
    DeleteInvoiceAction = make("DeleteInvoiceAction", QStringLiteral("Удалить накладную"), ActionIcon::Delete,
                               &EditingCommands::DeleteInvoiceActionExecute);
    AddProductionAction = make("AddProductionAction", QStringLiteral("Создать новую продукцию"), ActionIcon::Add,
                               &EditingCommands::AddProductionActionExecute);
    EditProductionAction = make("EditProductionAction", QStringLiteral("Редактировать продукцию"),
                                ActionIcon::Edit, &EditingCommands::EditProductionActionExecute);
    DeleteProductionAction = make("DeleteProductionAction", QStringLiteral("Удалить продукцию"), ActionIcon::Delete,
                                  &EditingCommands::DeleteProductionActionExecute);
    CopyProductionAction = make("CopyProductionAction", QStringLiteral("Скопировать текущую"),
                                ActionIcon::Copy, &EditingCommands::CopyProductionActionExecute);
    AddInnerTransferAction = make("AddInnerTransferAction", QStringLiteral("Создать внутреннее перемещение"),
                                  ActionIcon::Add, &EditingCommands::AddInnerTransferActionExecute);
    EditInnerTransferAction = make("EditInnerTransferAction", QStringLiteral("Редактировать внутреннее перемещение"),
                                   ActionIcon::Edit, &EditingCommands::EditInnerTransferActionExecute);
    DeleteInnerTransferAction = make("DeleteInnerTransferAction", QStringLiteral("Удалить внутреннее перемещение"),
                                     ActionIcon::Delete, &EditingCommands::DeleteInnerTransferActionExecute);
    // Until a period is open only adding an invoice is offered (and it reports the missing period).
    for (QAction *a :
         {EditInvoiceAction, AddProductionAction, EditProductionAction, DeleteProductionAction, CopyProductionAction,
          AddInnerTransferAction, EditInnerTransferAction, DeleteInnerTransferAction})
        a->setEnabled(false);
}

void EditingCommands::viewsShown(bool positionViewOpened, bool transferViewOpened)
{
    const bool open = m_views.isOpen();
    if (positionViewOpened)
        m_enabled.positionViewOpened(open && !m_views.ClientDataSetInvoice.isEmpty(),
                                     open && !m_views.ClientDataSetProduction.isEmpty());
    if (transferViewOpened)
        m_enabled.transferViewOpened(open && m_views.ClientDataSetTransfer.recNo() > 0);
    AddProductionAction->setEnabled(m_enabled.addProduction);
    CopyProductionAction->setEnabled(m_enabled.copyProduction);
    EditProductionAction->setEnabled(m_enabled.editProduction);
    DeleteProductionAction->setEnabled(m_enabled.deleteProduction);
    AddInnerTransferAction->setEnabled(m_enabled.addInnerTransfer);
    EditInnerTransferAction->setEnabled(m_enabled.editInnerTransfer);
    DeleteInnerTransferAction->setEnabled(m_enabled.deleteInnerTransfer);
    EditInvoiceAction->setEnabled(m_enabled.editInvoice);
    DeleteInvoiceAction->setEnabled(m_enabled.deleteInvoice);
}

void EditingCommands::runEntryDialog(const std::function<bool()> &entry, const ViewCursor &after)
{
    try {
        if (!entry())
            return;
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return;
    }
    m_hooks.reopenViews(after);
}

void EditingCommands::AddInvoiceActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen())
        return;
    runEntryDialog(
        [&] {
            TInvoiceForm form(invoiceSetupFor(*settings, m_hooks.declarationMonth()), m_window);
            form.startNew();
            if (form.exec() != QDialog::Accepted)
                return false;
            form.DataSetInvoice.saveToFile();
            form.DataSetInvoice.close();
            return true;
        },
        {ViewCursor::kLastRow, 1, 1});
}

void EditingCommands::EditInvoiceActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen() || m_views.ClientDataSetInvoice.recNo() < 1)
        return;
    const int recNo = m_views.ClientDataSetInvoice.recNo();
    runEntryDialog(
        [&] {
            TInvoiceForm form(invoiceSetupFor(*settings, m_hooks.declarationMonth()), m_window);
            form.startEdit(recNo);
            if (form.exec() != QDialog::Accepted)
                return false;
            form.DataSetInvoice.saveToFile();
            form.DataSetInvoice.close();
            return true;
        },
        {recNo, 1, 1});
}

void EditingCommands::DeleteInvoiceActionExecute()
{
    if (!DeleteForm->confirm(QStringLiteral("Удалить накладную?")))
        return;
    if (!m_views.isOpen() || m_views.ClientDataSetInvoice.isEmpty())
        return;
    // The command is offered only for an invoice without positions; the keyboard and a stale button
    // must not delete the head of positions either.
    if (!m_views.ClientDataSetProduction.isEmpty()) {
        MessageBoxes::information(m_window, QStringLiteral("Накладная содержит продукцию: сначала удалите продукцию."));
        return;
    }
    const int recNo = m_views.ClientDataSetInvoice.recNo();
    try {
        Table work;
        openWorkingCopy(work, m_views.ClientDataSetInvoice);
        work.remove();
        work.saveToFile();
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
    }
    m_hooks.reopenViews({recNo > 1 ? recNo - 1 : 1, 1, 1});
}

void EditingCommands::AddProductionActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen() || m_views.ClientDataSetInvoice.recNo() < 1)
        return;
    const ViewCursor at = m_views.cursor();
    runEntryDialog(
        [&] {
            TProductionForm form(productionSetupFor(*settings), m_window);
            form.startNew(m_views.ClientDataSetInvoice.currentRow());
            if (form.exec() != QDialog::Accepted)
                return false;
            position::completeNewPosition(form.DataSetProduction, m_views.ClientDataSetInvoice.currentRow());
            form.DataSetProduction.saveToFile();
            form.DataSetProduction.close();
            return true;
        },
        {at.invoice, ViewCursor::kLastRow, 1});
}

void EditingCommands::EditProductionActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen() || m_views.ClientDataSetProduction.recNo() < 1)
        return;
    const ViewCursor at = m_views.cursor();
    runEntryDialog(
        [&] {
            TProductionForm form(productionSetupFor(*settings), m_window);
            // The subdivision of a position with transfers stays: its delete command tells which.
            form.startEdit(m_views.ClientDataSetInvoice.currentRow(), at.position, DeleteProductionAction->isEnabled());
            if (form.exec() != QDialog::Accepted)
                return false;
            form.DataSetProduction.saveToFile();
            form.DataSetProduction.close();
            return true;
        },
        {at.invoice, at.position, 1});
}

void EditingCommands::CopyProductionActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen() || m_views.ClientDataSetProduction.recNo() < 1)
        return;
    const ViewCursor at = m_views.cursor();
    runEntryDialog(
        [&] {
            TProductionForm form(productionSetupFor(*settings), m_window);
            form.startCopy(m_views.ClientDataSetInvoice.currentRow(), m_views.ClientDataSetProduction.currentRow());
            if (form.exec() != QDialog::Accepted)
                return false;
            // A copy belongs to the same invoice as an added position does: it carries its waybill too.
            position::completeNewPosition(form.DataSetProduction, m_views.ClientDataSetInvoice.currentRow());
            form.DataSetProduction.saveToFile();
            form.DataSetProduction.close();
            return true;
        },
        {at.invoice, ViewCursor::kLastRow, 1});
}

void EditingCommands::DeleteProductionActionExecute()
{
    if (!DeleteForm->confirm(QStringLiteral("Удалить продукцию?")))
        return;
    if (!m_views.isOpen() || m_views.ClientDataSetProduction.isEmpty())
        return;
    // Transfers hang on their position: the keyboard and a stale button must not orphan them.
    if (!m_views.ClientDataSetTransfer.isEmpty()) {
        MessageBoxes::information(
            m_window, QStringLiteral("Продукция содержит внутренние перемещения: сначала удалите перемещения."));
        return;
    }
    const ViewCursor at = m_views.cursor();
    try {
        Table work;
        openWorkingCopy(work, m_views.ClientDataSetProduction);
        work.remove();
        work.saveToFile();
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
    }
    m_hooks.reopenViews({at.invoice, at.position > 1 ? at.position - 1 : 1, 1});
}

QString EditingCommands::deleteUnavailableReason(const QAction *remove) const
{
    if (remove == nullptr || remove->isEnabled() || !m_views.isOpen())
        return {};
    if (remove == DeleteProductionAction && !m_views.ClientDataSetProduction.isEmpty() &&
        !m_views.ClientDataSetTransfer.isEmpty())
        return QStringLiteral("Продукцию с внутренними перемещениями удалить нельзя: сначала удалите ее перемещения.");
    if (remove == DeleteInvoiceAction && !m_views.ClientDataSetInvoice.isEmpty() &&
        !m_views.ClientDataSetProduction.isEmpty())
        return QStringLiteral("Накладную с продукцией удалить нельзя: сначала удалите ее продукцию.");
    return {};
}

void EditingCommands::AddInnerTransferActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen() || m_views.ClientDataSetProduction.recNo() < 1)
        return;
    const ViewCursor at = m_views.cursor();
    runEntryDialog(
        [&] {
            TInnerTransferForm form(transferSetupFor(*settings), m_window);
            form.startNew(m_views.ClientDataSetInvoice.currentRow(), m_views.ClientDataSetProduction.currentRow());
            if (form.exec() != QDialog::Accepted)
                return false;
            transfer::saveNewTransfer(form.DataSetInnerTransfer, form.ProductionDKey,
                                      m_views.ClientDataSetProduction.currentRow());
            return true;
        },
        {at.invoice, at.position, ViewCursor::kLastRow});
}

void EditingCommands::EditInnerTransferActionExecute()
{
    const TAppSettings *settings = m_hooks.settings();
    if (!settings || !m_views.isOpen() || m_views.ClientDataSetTransfer.recNo() < 1)
        return;
    const ViewCursor at = m_views.cursor();
    runEntryDialog(
        [&] {
            TInnerTransferForm form(transferSetupFor(*settings), m_window);
            form.startEdit(m_views.ClientDataSetInvoice.currentRow(), m_views.ClientDataSetProduction.currentRow(),
                           at.transfer);
            if (form.exec() != QDialog::Accepted)
                return false;
            transfer::saveChangedTransfer(form.DataSetInnerTransfer, form.ProductionDKey, form.oldOtherComing);
            return true;
        },
        at);
}

void EditingCommands::DeleteInnerTransferActionExecute()
{
    if (!DeleteForm->confirm(QStringLiteral("Удалить внутреннее перемещение?")))
        return;
    if (!m_views.isOpen() || m_views.ClientDataSetTransfer.isEmpty() || m_views.ClientDataSetProduction.recNo() < 1)
        return;
    const ViewCursor at = m_views.cursor();
    try {
        Table work;
        openWorkingCopy(work, m_views.ClientDataSetTransfer);
        transfer::deleteTransfer(work, m_views.ClientDataSetProduction.asString(u"dkey"));
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
    }
    m_hooks.reopenViews({at.invoice, at.position, 1});
}

} // namespace kalvor::gui
