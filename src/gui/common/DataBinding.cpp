#include "gui/common/DataBinding.h"

#include "app/Formats.h"
#include "editing/FieldCaptions.h"
#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace kalvor::gui {

QString fieldDisplayText(const Table &table, int field)
{
    if (!table.isActive() || field < 0 || field >= table.fieldCount() || table.isNull(field))
        return {};
    const FieldDef &def = table.field(field);
    switch (def.kind) {
    case FieldKind::Date:
    case FieldKind::DateTime:
        return Formats::date(table.asDate(field));
    case FieldKind::Fixed:
        return Formats::number(table.asFloat(field), def.decimals);
    case FieldKind::Float:
        return table.asString(field).replace(u'.', u',');
    case FieldKind::Boolean:
        return table.asBoolean(field) ? QStringLiteral("Да") : QStringLiteral("Нет");
    case FieldKind::String:
    case FieldKind::Integer:
    case FieldKind::Other:
        break;
    }
    return table.asString(field);
}

// --- BoundControl --------------------------------------------------------------------------------

BoundControl::BoundControl(DataBinding &binding, const QString &fieldName) : m_binding(&binding), m_fieldName(fieldName)
{
    binding.attach(this);
}

BoundControl::~BoundControl()
{
    if (m_binding != nullptr)
        m_binding->detach(this);
}

int BoundControl::fieldIndex() const
{
    if (m_binding == nullptr || !m_binding->table().isActive())
        return -1;
    return m_binding->table().fieldIndex(m_fieldName);
}

void BoundControl::writeText(const QString &text)
{
    Table &table = m_binding->table();
    const int field = table.requireField(m_fieldName);
    const bool wasWriting = m_binding->m_writing;
    m_binding->m_writing = true;
    try {
        if (table.state() == Table::State::Browse)
            table.edit();
        table.setString(field, text);
    } catch (...) {
        m_binding->m_writing = wasWriting;
        throw;
    }
    m_binding->m_writing = wasWriting;
    // The other controls of the field show the new value, or writing them back would undo it.
    for (BoundControl *control : m_binding->m_controls)
        if (control != this && control->m_fieldName.compare(m_fieldName, Qt::CaseInsensitive) == 0)
            control->refresh();
}

// --- DataBinding ---------------------------------------------------------------------------------

DataBinding::DataBinding(Table &table, QObject *parent) : QObject(parent), m_table(table)
{
    m_listenerId = m_table.addListener([this](Table::Notification) { onTableChanged(); });
}

DataBinding::~DataBinding()
{
    m_table.removeListener(m_listenerId);
    // The controls are usually children of a dialog that outlives this object by a moment.
    for (BoundControl *control : m_controls)
        control->m_binding = nullptr;
}

void DataBinding::attach(BoundControl *control) { m_controls.push_back(control); }

void DataBinding::detach(BoundControl *control) { std::erase(m_controls, control); }

void DataBinding::onTableChanged()
{
    if (!m_writing)
        refreshAll();
}

void DataBinding::refreshAll()
{
    for (BoundControl *control : m_controls)
        control->refresh();
}

bool DataBinding::commitAll()
{
    const auto controls = m_controls;
    return std::all_of(controls.begin(), controls.end(), [](BoundControl *control) { return control->commit(); });
}

// --- BoundLineEdit -------------------------------------------------------------------------------

BoundLineEdit::BoundLineEdit(DataBinding &binding, const QString &fieldName, QWidget *parent)
    : QLineEdit(parent), BoundControl(binding, fieldName)
{
    setObjectName(fieldName);
    refresh();
}

void BoundLineEdit::refresh()
{
    const int field = fieldIndex();
    if (field < 0) {
        clear();
        setReadOnly(true);
        return;
    }
    const Table &table = binding()->table();
    const FieldDef &def = table.field(field);
    setMaxLength(def.kind == FieldKind::String && def.width > 0 ? def.width : 32767);
    const bool readOnly = table.isReadOnly(field);
    setReadOnly(readOnly);
    // A field that cannot be changed should not look like one that can.
    QPalette look = palette();
    look.setColor(QPalette::Base, readOnly ? look.color(QPalette::Window) : QApplication::palette().color(QPalette::Base));
    setPalette(look);
    setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    setText(fieldDisplayText(table, field));
    setCursorPosition(0);
}

void BoundLineEdit::store(const QString &text) { writeText(text); }

bool BoundLineEdit::commit()
{
    const int field = fieldIndex();
    if (field < 0 || isReadOnly() || m_committing)
        return true;
    // An untouched value is not written, so a dialog opened and left alone changes nothing.
    if (text() == fieldDisplayText(binding()->table(), field))
        return true;
    m_committing = true;
    try {
        store(text());
    } catch (const KalvorError &error) {
        // The typed text stays for correcting; the field keeps its old value.
        MessageBoxes::error(window(), withFieldCaption(error.message(), fieldName()));
        setFocus(Qt::OtherFocusReason);
        selectAll();
        m_committing = false;
        return false;
    }
    m_committing = false;
    // Show the value as stored (a completed date, a number with its decimals).
    setText(fieldDisplayText(binding()->table(), field));
    setCursorPosition(0);
    return true;
}

void BoundLineEdit::focusOutEvent(QFocusEvent *event)
{
    // Leaving for another control writes the value; a popup or another window taking the focus does not.
    const bool leaving = event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
    if (leaving)
        commit();
    QLineEdit::focusOutEvent(event);
    if (leaving)
        Q_EMIT left();
}

void BoundLineEdit::keyPressEvent(QKeyEvent *event)
{
    const int field = fieldIndex();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A refused value must not go on to the dialog's default button.
        if (!commit()) {
            event->accept();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (field >= 0 && text() != fieldDisplayText(binding()->table(), field)) {
            refresh();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

// --- BoundDateEdit -------------------------------------------------------------------------------

BoundDateEdit::BoundDateEdit(DataBinding &binding, const QString &fieldName, QWidget *parent)
    : BoundLineEdit(binding, fieldName, parent)
{
    setPlaceholderText(QStringLiteral("дд.мм.гггг"));
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,10}")), this));
}

void BoundDateEdit::store(const QString &text)
{
    const QDate date = Formats::parseDate(text.trimmed());
    writeText(date.isValid() ? Formats::date(date) : text);
}

// --- BoundLookupComboBox -------------------------------------------------------------------------

BoundLookupComboBox::BoundLookupComboBox(DataBinding &binding, const QString &fieldName, const Table &reference,
                                         const QString &keyField, const QString &displayField, QWidget *parent)
    : QComboBox(parent), BoundControl(binding, fieldName), m_reference(reference), m_keyField(keyField),
      m_displayField(displayField)
{
    setObjectName(fieldName);
    reloadItems();
    connect(this, &QComboBox::activated, this, [this] { commit(); });
}

void BoundLookupComboBox::reloadItems()
{
    const QSignalBlocker blocker(this);
    clear();
    if (m_reference.isActive()) {
        const int key = m_reference.requireField(m_keyField);
        const int display = m_reference.requireField(m_displayField);
        for (int i = 0; i < m_reference.recordCount(); ++i) {
            const RowView row = m_reference.row(i);
            addItem(row.asString(display), row.asString(key));
        }
    }
    refresh();
}

void BoundLookupComboBox::keyPressEvent(QKeyEvent *event)
{
    const int before = currentIndex();
    QComboBox::keyPressEvent(event);
    emitIfChosen(before);
}

void BoundLookupComboBox::wheelEvent(QWheelEvent *event)
{
    const int before = currentIndex();
    QComboBox::wheelEvent(event);
    emitIfChosen(before);
}

void BoundLookupComboBox::emitIfChosen(int before)
{
    if (currentIndex() != before && !view()->isVisible())
        Q_EMIT chosenWithoutList();
}

QString BoundLookupComboBox::currentKey() const { return currentIndex() < 0 ? QString() : currentData().toString(); }

void BoundLookupComboBox::refresh()
{
    const QSignalBlocker blocker(this);
    const int field = fieldIndex();
    if (field < 0) {
        setCurrentIndex(-1);
        setEnabled(false);
        return;
    }
    const Table &table = binding()->table();
    setEnabled(!table.isReadOnly(field));
    setCurrentIndex(table.isNull(field) ? -1 : findData(table.asString(field)));
}

bool BoundLookupComboBox::commit()
{
    const int field = fieldIndex();
    if (field < 0 || currentIndex() < 0 || binding()->table().isReadOnly(field))
        return true;
    const Table &table = binding()->table();
    if (!table.isNull(field) && table.asString(field) == currentKey())
        return true;
    try {
        writeText(currentKey());
    } catch (const KalvorError &error) {
        MessageBoxes::error(window(), withFieldCaption(error.message(), fieldName()));
        refresh();
        setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

// --- BoundLabel ----------------------------------------------------------------------------------

BoundLabel::BoundLabel(DataBinding &binding, const QString &fieldName, QWidget *parent)
    : QLabel(parent), BoundControl(binding, fieldName)
{
    setObjectName(fieldName);
    refresh();
}

void BoundLabel::refresh()
{
    const int field = fieldIndex();
    setText(field < 0 ? QString() : fieldDisplayText(binding()->table(), field));
}

} // namespace kalvor::gui
