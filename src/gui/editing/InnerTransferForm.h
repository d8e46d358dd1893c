#pragma once

#include "store/Table.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvor::gui {

class BoundLabel;
class BoundLineEdit;
class BoundLookupComboBox;
class DataBinding;

// The transfer dialog "Внутреннее перемещение": one transfer row of its own table over the declaration
// file. The packages typed give the litres moved; the receiving subdivision is chosen from the
// subdivisions other than the sending one. "Сохранить" runs the checks and accepts; the command then
// writes the transfer and its source position together.
class TInnerTransferForm final : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString declarationFileName;
        QString departmentFileName;
    };

    explicit TInnerTransferForm(const Setup &setup, QWidget *parent = nullptr);
    ~TInnerTransferForm() override;

    // Adding: a new transfer of the source position (the hundredth is refused with KalvorError before
    // anything is shown). Editing: the transfer at this record number of the position's transfers.
    void startNew(const RowView &invoice, const RowView &source);
    void startEdit(const RowView &invoice, const RowView &source, int recNo);

    // --- handlers -----------------------------------------------------------------------------
    void Edit1Change();
    void CalculateSomeFields();
    void FormActivate();
    bool ButtonSaveClick();

    Table DataSetInnerTransfer;
    Table ClientDataSetDepartmentCode;
    QString InvoiceDKey;
    QString ProductionDKey;
    QString codeValue;
    QString strTransferLastNumber;
    double oldOtherComing = 0; // litres of the transfer before editing

    BoundLabel *DBText1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    BoundLookupComboBox *DBLookupComboBox1 = nullptr;
    BoundLabel *DBTextOtherComing = nullptr;
    BoundLabel *DBTextDepartmentCodeInner = nullptr;
    BoundLineEdit *DBEditPackageCountCharges = nullptr;
    BoundLabel *DBTextVolumeCharges = nullptr;
    BoundLineEdit *DBEditMarkup = nullptr;  // hidden
    BoundLabel *DBTextSumCharges = nullptr; // hidden
    BoundLineEdit *DBEditReturnVolumeCharges = nullptr;
    BoundLineEdit *DBEditWriteVolumeCharges = nullptr;
    BoundLineEdit *DBEdit1 = nullptr; // rest_volume
    QLabel *LabelRestVolume = nullptr;
    BoundLabel *DBTextRest = nullptr;
    QLabel *lblDepartmentBook = nullptr; // why no subdivision can be chosen, when none can
    QPushButton *ButtonSave = nullptr;
    QPushButton *ButtonCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void open(const RowView &invoice, const RowView &source);
    void buildLayout();

    Setup m_setup;
    std::unique_ptr<DataBinding> m_binding;
    QString m_departmentNote;
};

} // namespace kalvor::gui
