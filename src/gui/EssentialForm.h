#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QPushButton;

namespace kalvor {
class Table;
}

namespace kalvor::gui {

class BoundDateEdit;
class BoundLineEdit;
class DataBinding;

// The requisites dialog "Сведения о Калворе": one entry per column of the one-row requisites table.
// Only a validated "Сохранить" leaves it with Accepted; the table is posted then, and the caller saves it.
class TEssentialForm final : public QDialog {
    Q_OBJECT
public:
    // Opens its own table on a requisites file; throws KalvorError when the file cannot be read.
    explicit TEssentialForm(const QString &fileName, QWidget *parent = nullptr);
    // Works on a table the caller has opened (and keeps).
    explicit TEssentialForm(Table &table, QWidget *parent = nullptr);
    ~TEssentialForm() override;

    Table &table() const { return *ClientDataSetKalvor; }
    // Disabled at the first start, where Escape and the close box still leave the dialog (and the
    // program, as it cannot work without requisites).
    void setCancelEnabled(bool enabled);
    // The INN is fixed once the first period exists.
    void setInnReadOnly(bool readOnly);

    // The check guarding "Сохранить": writes the entries into the table and refuses (with the message)
    // an incomplete or implausible entry. Every activation of the button runs it, keyboard included.
    bool SaveMouseDown();

    Table *ClientDataSetKalvor = nullptr;

    BoundLineEdit *organization_name = nullptr;
    BoundLineEdit *dkey = nullptr;
    BoundLineEdit *low_address = nullptr;
    BoundLineEdit *post_address = nullptr;
    BoundLineEdit *department_count = nullptr;
    BoundLineEdit *license_serial = nullptr;
    BoundLineEdit *license_number = nullptr;
    BoundDateEdit *license_date = nullptr;
    BoundDateEdit *license_deadline = nullptr;
    BoundLineEdit *name_leader = nullptr;
    BoundLineEdit *name_counter = nullptr;
    QPushButton *Save = nullptr;
    QPushButton *Cancel = nullptr;

private:
    void setUpTable();
    void buildLayout();
    void SaveClick();

    std::unique_ptr<Table> m_ownTable;
    std::unique_ptr<DataBinding> m_binding; // after the table: it stops listening before an own table goes
};

// "Справочники" -> "Реквизиты": edits the current period's requisites file with the INN fixed and writes
// it back on "Сохранить". A file that cannot be read or written is reported here. True when saved.
bool editRequisites(QWidget *parent, const QString &kalvorFileName);

} // namespace kalvor::gui
