#pragma once

#include "gui/refbooks/RefBookWindow.h"

#include <QDialog>

#include <memory>

class QAction;
class QPushButton;
class QTableView;
class QToolButton;

namespace kalvor::gui {

class BoundLabel;
class BoundLineEdit;
class DataBinding;

// "Код обособленного подразделения": the code and address of one subdivision.
class TChangeDepartmentCodeForm final : public QDialog {
    Q_OBJECT
public:
    // Throws KalvorError when the book cannot be opened.
    TChangeDepartmentCodeForm(const QString &departmentFileName, EntryMode mode, int recNo, QWidget *parent = nullptr);
    ~TChangeDepartmentCodeForm() override;

    std::unique_ptr<Table> DataSetDepartmentCode;
    BoundLineEdit *DBEditCode = nullptr;
    BoundLineEdit *DBEditAddress = nullptr;
    QPushButton *ButtonSave = nullptr;
    QPushButton *ButtonCancel = nullptr;

private:
    void SaveClick();

    std::unique_ptr<DataBinding> m_binding;
};

// "Обособленные подразделения": the filer's subdivisions, no more than the requisites declare.
class TDepartmentCodeForm final : public RefBookWindow {
    Q_OBJECT
public:
    // The requisites file gives the number of subdivisions; one that cannot be read is reported once
    // and adding is refused with its message.
    TDepartmentCodeForm(const QString &departmentFileName, const QString &kalvorFileName, QWidget *parent = nullptr);
    ~TDepartmentCodeForm() override;

    void AddDepartmentActionExecute();
    void EditDepartmentActionExecute();
    void DeleteDepartmentActionExecute();
    void ClientDataSetDepartmentCodeAfterOpen();

    QString DepartmentCodeFileName;
    Table *ClientDataSetDepartmentCode = nullptr;
    std::unique_ptr<Table> ClientDataSetKalvor;
    QTableView *DBGrid1 = nullptr;
    QAction *AddDepartmentAction = nullptr;
    QAction *EditDepartmentAction = nullptr;
    QAction *DeleteDepartmentAction = nullptr;
    QToolButton *SpeedButtonAddDepartment = nullptr;
    QToolButton *SpeedButtonEditDepartment = nullptr;
    QToolButton *SpeedButtonDeleteDepartment = nullptr;
    BoundLabel *DBText1 = nullptr;   // hidden: department_count of the requisites
    BoundLineEdit *DBEdit1 = nullptr; // hidden

protected:
    void bookOpened() override { ClientDataSetDepartmentCodeAfterOpen(); }

private:
    void runEntry(EntryMode mode);

    std::unique_ptr<DataBinding> m_kalvorBinding;
    QString m_kalvorProblem;
};

} // namespace kalvor::gui
