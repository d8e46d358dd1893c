#pragma once

#include "store/Table.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;

namespace kalvor::gui {

class BoundDateEdit;
class BoundLineEdit;
class BoundLookupComboBox;
class DataBinding;

// The invoice dialog "Накладная": the invoice row of its own table over the declaration file, with the
// supplier and subdivision books behind two drop-downs. Nothing is written here: on "Сохранить" the
// checks run and the dialog is accepted; the command saves DataSetInvoice.
class TInvoiceForm final : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString declarationFileName;
        QString supplierFileName;
        QString departmentFileName;
        QString stem;        // INNYYMMCC of the period
        QString versionText; // stamped on the first invoice
        int declarationYear = 0;  // four digits: the month the waybill date may not pass
        int declarationMonth = 0; // 1-12
    };

    explicit TInvoiceForm(const Setup &setup, QWidget *parent = nullptr);
    ~TInvoiceForm() override;

    // Adding: opens DataSetInvoice and inserts the new invoice with the next number. Throws KalvorError
    // (an unreadable file, the last number of the period taken) before anything is inserted.
    void startNew();
    // Editing: opens DataSetInvoice on the invoice at this record number of the invoice view.
    void startEdit(int recNo);

    // --- handlers -----------------------------------------------------------------------------
    void DBLookupComboBox1CloseUp();
    // Marks the six required entries; true when one of them is empty.
    bool ChekWarning();
    // The checks of "Сохранить"; accepts the dialog when they pass.
    bool AddButtonClick();

    Table DataSetInvoice;
    Table ClientDataSetSupplier;
    Table ClientDataSetDepartmentCode;
    QString strInvoiceLastNumber;
    QString INNYYMMCC;

    BoundLookupComboBox *DBLookupComboBox1 = nullptr;
    BoundLineEdit *DBEdit1 = nullptr;
    BoundLineEdit *DBEdit2 = nullptr;
    BoundDateEdit *DBEdit3 = nullptr;
    BoundLineEdit *DBEdit4 = nullptr;
    BoundDateEdit *DBEdit5 = nullptr;
    BoundLineEdit *DBEdit6 = nullptr;
    BoundLookupComboBox *DBLookupComboBox2 = nullptr;
    QLabel *lblWarning = nullptr;
    QLabel *LblWarningDate = nullptr;
    QLabel *lblSupplierBook = nullptr;   // why the supplier list is empty, when it is
    QLabel *lblDepartmentBook = nullptr; // the same for the subdivisions
    QPushButton *AddButton = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openDataSetInvoice();
    void buildLayout();

    Setup m_setup;
    std::unique_ptr<DataBinding> m_binding;
};

} // namespace kalvor::gui
