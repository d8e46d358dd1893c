#include "period/ErrorDeletion.h"

#include "maintenance/TextFiles.h"
#include "period/ErrorLog.h"
#include "store/Table.h"

#include <QFile>
#include <QSet>

namespace kalvor::period {

namespace {

constexpr QStringView kUnlinkedText = u"Не выгрузилось ттн №: ";

} // namespace

QString unlinkedWaybillLine(const QString &ttnNumer)
{
    return kUnlinkedText.toString() + ttnNumer;
}

QStringList waybillsToDelete(const QString &curDir)
{
    QFile file(errorLogFileName(curDir));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList waybills;
    for (const QString &line : maintenance::textLines(maintenance::decodeText(file.readAll())))
        if (line.contains(kUnlinkedText))
            waybills.append(line.mid(kUnlinkedText.size()));
    return waybills;
}

int deleteListedPositions(Table &positions, const QStringList &waybills)
{
    if (waybills.isEmpty() || positions.isEmpty())
        return 0;
    const QSet<QString> listed(waybills.begin(), waybills.end());
    const int field = positions.requireField(u"ttn_numer");
    // Attached grids hear of the deletions once, at the end.
    struct ControlsOff {
        Table &table;
        explicit ControlsOff(Table &t) : table(t) { table.disableControls(); }
        ~ControlsOff() { table.enableControls(); }
    } controlsOff(positions);
    int deleted = 0;
    positions.first();
    while (!positions.eof()) {
        if (listed.contains(positions.asString(field))) {
            positions.remove(); // the cursor moves on to the next row
            ++deleted;
        } else {
            positions.next();
        }
    }
    if (deleted > 0)
        positions.saveToFile();
    return deleted;
}

} // namespace kalvor::period
