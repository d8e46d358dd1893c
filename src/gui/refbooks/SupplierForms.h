#pragma once

#include "gui/refbooks/RefBookWindow.h"

#include <QDialog>

#include <memory>

class QAction;
class QLabel;
class QPushButton;
class QTableView;

namespace kalvor::gui {

class BoundDateEdit;
class BoundLineEdit;
class DataBinding;

// "Поставщик": one supplier of the book. The dialog's own table is opened on the supplier file with
// the window's order and holds the new row, or the row being edited, until the window saves it.
class TChangeSupplierForm final : public QDialog {
    Q_OBJECT
public:
    // Throws KalvorError when the book cannot be opened.
    TChangeSupplierForm(const QString &supplierFileName, EntryMode mode, int recNo, QWidget *parent = nullptr);
    ~TChangeSupplierForm() override;

    std::unique_ptr<Table> ClientDataSet1;
    BoundLineEdit *DBEditName = nullptr;
    BoundLineEdit *DBEditLicense = nullptr;
    BoundDateEdit *DBEditLicenseDate = nullptr;
    BoundLineEdit *DBEditLoadingAddress = nullptr;
    QPushButton *ButtonSave = nullptr;
    QPushButton *ButtonCancel = nullptr;

private:
    void SaveClick();

    std::unique_ptr<DataBinding> m_binding;
};

// "Поставщики": the supplier book, kept by the user, ordered by name.
class TSupplierForm final : public RefBookWindow {
    Q_OBJECT
public:
    explicit TSupplierForm(const QString &supplierFileName, QWidget *parent = nullptr);

    void AddSupplierActionExecute();
    void EditSupplierActionExecute();
    void DeleteSupplierActionExecute();
    void DataSetSupplierAfterOpen();

    QString SupplierFileName;
    Table *DataSetSupplier = nullptr;
    QTableView *DBGridSupplier = nullptr;
    QAction *AddSupplierAction = nullptr;
    QAction *EditSupplierAction = nullptr;
    QAction *DeleteSupplierAction = nullptr;
    QLabel *LabelInfo = nullptr;

protected:
    void bookOpened() override { DataSetSupplierAfterOpen(); }

private:
    void runEntry(EntryMode mode);
};

} // namespace kalvor::gui
