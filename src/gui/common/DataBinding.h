#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QString>

#include <vector>

namespace kalvor {
class Table;
}

namespace kalvor::gui {

class DataBinding;

// The field as the user reads it: dates dd.MM.yyyy, decimals with a comma, empty for NULL or no row.
QString fieldDisplayText(const Table &table, int field);

// A control that shows one field of the bound table's current row and can write it back.
class BoundControl {
public:
    BoundControl(DataBinding &binding, const QString &fieldName);
    virtual ~BoundControl();
    BoundControl(const BoundControl &) = delete;
    BoundControl &operator=(const BoundControl &) = delete;

    const QString &fieldName() const { return m_fieldName; }
    // Shows the field's current value (and its read-only state).
    virtual void refresh() = 0;
    // Writes a changed value into the field; false (after showing why) when the table refused it.
    virtual bool commit() = 0;

protected:
    DataBinding *binding() const { return m_binding; }
    // -1 while the table is closed or lacks the column.
    int fieldIndex() const;
    // Puts the table into edit state (when it is browsing) and stores the text through the column's check.
    void writeText(const QString &text);

private:
    friend class DataBinding;
    DataBinding *m_binding;
    QString m_fieldName;
};

// Owns the link between one table and the controls bound to its fields: refreshes them whenever the
// table reports a change and writes them all back before the table is saved.
class DataBinding final : public QObject {
    Q_OBJECT
public:
    explicit DataBinding(Table &table, QObject *parent = nullptr);
    ~DataBinding() override;

    Table &table() const { return m_table; }
    void refreshAll();
    // Writes every changed control into the table; stops at the first refused value (its message was
    // shown and the control has the focus).
    bool commitAll();

private:
    friend class BoundControl;
    void attach(BoundControl *control);
    void detach(BoundControl *control);
    void onTableChanged();

    Table &m_table;
    std::vector<BoundControl *> m_controls;
    int m_listenerId = 0;
    bool m_writing = false; // our own writes must not refresh the control being written
};

// A line edit over a field: written back when the user leaves it or presses Enter; Escape restores
// the stored value.
class BoundLineEdit : public QLineEdit, public BoundControl {
    Q_OBJECT
public:
    BoundLineEdit(DataBinding &binding, const QString &fieldName, QWidget *parent = nullptr);

    void refresh() override;
    bool commit() override;

Q_SIGNALS:
    // The user left the edit for another control; its value has been written (or refused) by then.
    void left();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    virtual void store(const QString &text);

private:
    bool m_committing = false; // the error box must not commit a second time
};

// A date typed as dd.MM.yyyy (d.M.yy is completed to the full form).
class BoundDateEdit final : public BoundLineEdit {
    Q_OBJECT
public:
    BoundDateEdit(DataBinding &binding, const QString &fieldName, QWidget *parent = nullptr);

protected:
    void store(const QString &text) override;
};

// A drop-down list over a reference table: shows its display column, writes its key column into the
// bound field. A key missing from the reference shows as no selection.
class BoundLookupComboBox final : public QComboBox, public BoundControl {
    Q_OBJECT
public:
    BoundLookupComboBox(DataBinding &binding, const QString &fieldName, const Table &reference,
                        const QString &keyField, const QString &displayField, QWidget *parent = nullptr);

    // Reads the reference table's rows again (after it was edited).
    void reloadItems();
    void refresh() override;
    bool commit() override;
    QString currentKey() const;

Q_SIGNALS:
    // The user changed the choice with the keys or the wheel, without the list open; the choice has
    // been written by then. A choice from the list ends with the list closing instead.
    void chosenWithoutList();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void emitIfChosen(int before);

    const Table &m_reference;
    QString m_keyField;
    QString m_displayField;
};

// A label showing a field.
class BoundLabel final : public QLabel, public BoundControl {
    Q_OBJECT
public:
    BoundLabel(DataBinding &binding, const QString &fieldName, QWidget *parent = nullptr);

    void refresh() override;
    bool commit() override { return true; }
};

} // namespace kalvor::gui
