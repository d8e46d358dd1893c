#include "reports/ObjectsReport.h"

#include "dbupload/DbRows.h"
#include "store/Table.h"

#include <QHash>

namespace kalvor::reports {

std::vector<ObjectEntry> registeredObjects(const dbupload::DbRows &rows)
{
    std::vector<ObjectEntry> entries;
    entries.reserve(static_cast<std::size_t>(rows.rowCount()));
    for (const dbupload::DbRow r : rows) {
        ObjectEntry entry;
        entry.inn = r.text(u"INN");
        entry.code = r.text(u"Kod_object");
        entry.date = r.text(u"Date_object");
        entry.raion = r.text(u"Kod_raion");
        entry.status = r.text(u"Status");
        entry.suspended = r.text(u"Date_priost");
        entry.saved = r.text(u"Date_save");
        entry.registered = true;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void countDeclarationRows(std::vector<ObjectEntry> &entries, Table &declaration)
{
    // Entries by code, so that a table of many rows is not compared with every entry.
    QHash<QString, std::vector<std::size_t>> byCode;
    for (std::size_t i = 0; i < entries.size(); ++i)
        byCode[entries[i].code].push_back(i);
    const int key = declaration.fieldIndex(u"dkey");
    const int code = declaration.fieldIndex(u"department_code");
    const int inner = declaration.fieldIndex(u"department_code_inner");
    const int innerCharges = declaration.fieldIndex(u"department_code_inner_charges");
    const auto text = [&declaration](int field) { return field < 0 ? QString() : declaration.asString(field); };

    for (declaration.first(); !declaration.eof(); declaration.next()) {
        const bool hasCode = code >= 0 && !declaration.isNull(code);
        const QString value = hasCode ? declaration.asString(code) : QString();
        if (hasCode) {
            const auto found = byCode.constFind(value);
            if (found != byCode.constEnd()) {
                for (const std::size_t i : *found)
                    ++entries[i].rows;
                continue;
            }
        }
        ObjectEntry extra;
        extra.inn = text(key);
        extra.code = value;
        const QString from = text(inner), to = text(innerCharges);
        if (!from.isEmpty() || !to.isEmpty())
            extra.code += QStringLiteral(" (") + from + QStringLiteral("->") + to + u')';
        extra.status = QStringLiteral("-1");
        extra.rows = 1;
        if (hasCode)
            byCode[extra.code].push_back(entries.size());
        entries.push_back(std::move(extra));
    }
}

QString statusText(const ObjectEntry &entry)
{
    bool ok = false;
    const qint64 status = entry.status.trimmed().toLongLong(&ok);
    if (!ok || status == 0)
        return entry.status;
    return entry.status + QStringLiteral(" (") + entry.suspended + u')';
}

sheets::SheetLayout layOutObjects(const sheets::SheetLayout &templ, const std::vector<ObjectEntry> &entries,
                                  const QString &headerText)
{
    sheets::SheetLayout sheet = templ;
    sheet.setText(3, 1, headerText);
    int row = 8;
    qint64 n = 0;
    for (const ObjectEntry &entry : entries) {
        sheet.setNumber(row, 1, static_cast<double>(++n));
        sheet.setText(row, 2, entry.inn);
        sheet.setText(row, 3, entry.code);
        sheet.setText(row, 4, entry.date);
        sheet.setText(row, 5, entry.raion);
        sheet.setText(row, 6, statusText(entry));
        sheet.setText(row, 7, entry.saved);
        sheet.setNumber(row, 8, static_cast<double>(entry.rows));
        sheet.setFontColour(row, row, 2, 8, entry.rows == 0 ? sheets::kRed : sheets::kBlack);
        ++row;
        sheet.insertRow(row);
    }
    return sheet;
}

} // namespace kalvor::reports
