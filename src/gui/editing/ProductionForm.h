#pragma once

#include "store/Table.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;

namespace kalvor::gui {

class BoundLabel;
class BoundLineEdit;
class BoundLookupComboBox;
class DataBinding;

// The position dialog "Продукция": one position row of its own table over the declaration file, the
// production reference and the kinds, regions and subdivision books behind its drop-downs. The volumes,
// sums and remains follow each entry the user leaves. Nothing is written here: "Сохранить" runs the
// checks and accepts; the command saves DataSetProduction.
class TProductionForm final : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString declarationFileName;
        QString productionReferenceFileName; // empty: the product drop-down offers nothing (copying)
        QString productionFileName;          // kinds of production
        QString regionsFileName;
        QString departmentFileName;
    };

    explicit TProductionForm(const Setup &setup, QWidget *parent = nullptr);
    ~TProductionForm() override;

    // The three ways in. `invoice` is the selected invoice row; `source` the position copied. Each
    // throws KalvorError (unreadable file, no number left) before the dialog shows.
    void startNew(const RowView &invoice);
    void startCopy(const RowView &invoice, const RowView &source);
    // `departmentChangeable`: the subdivision of a position with transfers must stay.
    void startEdit(const RowView &invoice, int recNo, bool departmentChangeable);

    // --- handlers -----------------------------------------------------------------------------
    void CalculateSomeFields();
    void FormActivate();
    void DBLookupComboBoxProductionNameDropDown();
    void DBLookupComboBoxProductionNameCloseUp();
    void Button1Click();
    // Paints the entries and tells whether the position may be saved.
    bool ChekWarning();
    bool SaveButtonClick();

    Table DataSetProduction;
    Table ClientDataSetProductionReference;
    Table ClientDataSetKindProduction;
    Table ClientDataSetRegions;
    Table ClientDataSetDepartmentCode;
    QString InvoiceDKey;
    bool databool = false;
    QString strProductionLastNumber;
    QString strLastComboBoxProductionName;

    QLabel *SupplierLabel = nullptr;
    QLabel *TTNNumberLabel = nullptr;
    BoundLookupComboBox *DBLookupComboBoxProductionName = nullptr;
    BoundLineEdit *DBEditProductionName = nullptr;
    QPushButton *Button1 = nullptr; // ".."
    BoundLineEdit *DBEditProductionNumber = nullptr;
    BoundLookupComboBox *DBLookupComboBox3 = nullptr; // kind
    BoundLineEdit *DBEditProducerName = nullptr;
    BoundLookupComboBox *DBLookupComboBox2 = nullptr; // region
    BoundLookupComboBox *DBLookupComboBox1 = nullptr; // subdivision
    BoundLineEdit *DBEdit1 = nullptr;                 // rest_volume
    QLabel *LabelRestVolume = nullptr;
    BoundLineEdit *DBEditReturnVolume = nullptr;
    BoundLineEdit *DBEditPackageVolume = nullptr;
    BoundLineEdit *DBEditPackageCount = nullptr;
    BoundLabel *DBTextVolume = nullptr;
    BoundLineEdit *DBEditPurchesPrice = nullptr;
    BoundLabel *DBTextSumComing = nullptr;
    BoundLineEdit *DBEditAlcohol = nullptr; // hidden
    BoundLineEdit *DBEditPackageCountCharges = nullptr;
    BoundLabel *DBTextVolumeCharges = nullptr;
    BoundLineEdit *DBEditReturnVolumeCharges = nullptr;
    BoundLineEdit *DBEditWriteVolumeCharges = nullptr;
    BoundLineEdit *DBEditMarkup = nullptr;   // hidden
    BoundLabel *DBTextSumCharges = nullptr;  // hidden
    BoundLabel *DBTextRest = nullptr;
    QLabel *lblWarning = nullptr;
    QLabel *lblBooks = nullptr; // which reference books could not be read, when any
    QPushButton *SaveButton = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void openDataSetProduction(const RowView &invoice);
    void openReferences(bool withProductionReference);
    QWidget *entryFor(const QString &fieldName) const;

    Setup m_setup;
    std::unique_ptr<DataBinding> m_binding;
    QStringList m_bookNotes;
};

} // namespace kalvor::gui
