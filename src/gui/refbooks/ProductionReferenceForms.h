#pragma once

#include "gui/refbooks/RefBookWindow.h"

#include <QDialog>

#include <memory>

class QAction;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace kalvor::gui {

class BoundLineEdit;
class BoundLookupComboBox;
class DataBinding;

// "Продукция": one product of the reference, with its kind and its producer's region chosen from the
// kinds and regions books. "Сохранить" closes it only when the entry is complete.
class TChangeProductionReferenceForm final : public QDialog {
    Q_OBJECT
public:
    // Throws KalvorError when the production reference cannot be opened; missing kinds or regions books
    // leave their drop-downs empty.
    TChangeProductionReferenceForm(const QString &referenceFileName, const QString &productionFileName,
                                   const QString &regionsFileName, EntryMode mode, int recNo, QWidget *parent = nullptr);
    ~TChangeProductionReferenceForm() override;

    // Fills the new entry from another product (the copy command) and shows it.
    void copyFrom(const RowView &source);
    // The entry checks; paints the fields that fail and tells whether the entry may be saved.
    bool entryComplete();
    void Button2Click();

    std::unique_ptr<Table> ClientDataSet1;
    std::unique_ptr<Table> ClientDataSetRegions;
    std::unique_ptr<Table> ClientDataSetKindProduction;
    QGroupBox *GroupBoxProduction = nullptr;
    QGroupBox *GroupBoxProducer = nullptr;
    BoundLineEdit *DBEditProductionName = nullptr;
    BoundLookupComboBox *DBLookupComboBox3 = nullptr; // kind
    BoundLineEdit *DBEditPackageVolume = nullptr;
    BoundLineEdit *DBEditProductionNumber = nullptr; // hidden
    BoundLineEdit *DBEditAlcohol = nullptr;          // hidden
    BoundLineEdit *DBEditProducerName = nullptr;
    BoundLookupComboBox *DBLookupComboBox2 = nullptr; // region
    QPushButton *Button2 = nullptr;
    QPushButton *ButtonCancel = nullptr;

private:
    std::unique_ptr<DataBinding> m_binding;
};

// "Справочник продукции": the products the position dialog offers, ordered by name, with a search by
// part of the name.
class TProductionReferenceForm final : public RefBookWindow {
    Q_OBJECT
public:
    TProductionReferenceForm(const QString &referenceFileName, const QString &productionFileName,
                             const QString &regionsFileName, QWidget *parent = nullptr);

    void AddProductionReferenceActionExecute();
    void EditProductionReferenceActionExecute();
    void DeleteProductionReferenceActionExecute();
    void SpeedButton12Click();
    void Button2Click(); // ">"
    void Button3Click(); // "<"
    void DataSetProductionReferenceAfterOpen();

    QString ProductionReferenceFileName;
    QString ProductionFileName;
    QString RegionsFileName;
    Table *DataSetProductionReference = nullptr;
    QTableView *DBGridProductionReference = nullptr;
    QAction *AddProductionReferenceAction = nullptr;
    QAction *EditProductionReferenceAction = nullptr;
    QAction *DeleteProductionReferenceAction = nullptr;
    QAction *CopyProductionReferenceAction = nullptr;
    QToolButton *SpeedButton12 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;

protected:
    void bookOpened() override { DataSetProductionReferenceAfterOpen(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Entry { Add, Edit, Copy };
    void runEntry(Entry entry);

    bool m_searchKeyNoted = false; // a key that starts the incremental search went down in Edit1
};

} // namespace kalvor::gui
