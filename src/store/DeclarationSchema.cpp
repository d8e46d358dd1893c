#include "store/DeclarationSchema.h"

#include "store/DataPacketReader.h"

#include <QByteArray>

namespace kalvor {

const QList<FieldDef> &declarationFields()
{
    // Read by the engine itself from the FIELD lines, so the types mean exactly what they mean in a file.
    static const QList<FieldDef> fields = [] {
        QByteArray packet = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
        for (const DeclarationColumn &column : kDeclarationColumns) {
            packet += "<FIELD attrname=\"";
            packet.append(column.name.data(), static_cast<qsizetype>(column.name.size()));
            packet += "\" ";
            packet.append(column.definition.data(), static_cast<qsizetype>(column.definition.size()));
            packet += "/>";
        }
        packet += "</FIELDS></METADATA><ROWDATA></ROWDATA></DATAPACKET>";
        TableData data;
        readDataPacketBytes(packet, QStringLiteral("declaration columns"), data);
        return data.fields;
    }();
    return fields;
}

QStringList declarationColumnFaults(const TableData &data, ColumnCheck check)
{
    QStringList faults;
    for (const FieldDef &wanted : declarationFields()) {
        const FieldDef *found = nullptr;
        for (const FieldDef &field : data.fields)
            if (field.name.compare(wanted.name, Qt::CaseInsensitive) == 0) {
                found = &field;
                break;
            }
        if (!found) {
            if (check == ColumnCheck::NamesAndTypes)
                faults.append(QStringLiteral("нет поля %1").arg(wanted.name));
        } else if (found->kind != wanted.kind)
            faults.append(
                QStringLiteral("поле %1 имеет тип %2 вместо %3")
                    .arg(wanted.name, QString::fromLatin1(found->typeName), QString::fromLatin1(wanted.typeName)));
    }
    return faults;
}

} // namespace kalvor
