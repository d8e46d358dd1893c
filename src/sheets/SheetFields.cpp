#include "sheets/SheetFields.h"

#include "store/TKalvor.h"
#include "store/ValueText.h"

namespace kalvor::sheets {

std::array<int, 31> columnFields(const RowView &anyRow)
{
    std::array<int, 31> fields{};
    for (std::size_t i = 0; i < kFieldOfColumn.size(); ++i)
        fields[i] = anyRow.fieldIndex(kFieldOfColumn[i]);
    return fields;
}

void writeField(SheetLayout &sheet, int row, int column, const RowView &source, int field)
{
    if (field < 0 || source.isNull(field)) {
        sheet.setCell(row, column, SheetLayout::Value());
        return;
    }
    switch (source.fieldDef(field).kind) {
    case FieldKind::String:
    case FieldKind::Boolean:
    case FieldKind::Other:
        // Text stays text, even when it looks like a number: waybill numbers keep their leading zeros.
        sheet.setTextUtf8(row, column, source.utf8(field));
        return;
    default:
        sheet.setCell(row, column, fieldValue(source, field));
        return;
    }
}

SheetLayout::Value fieldValue(const RowView &source, int field)
{
    if (field < 0 || source.isNull(field))
        return {};
    const std::string_view text = source.utf8(field);
    switch (source.fieldDef(field).kind) {
    case FieldKind::Integer:
    case FieldKind::Fixed:
    case FieldKind::Float:
        if (const auto number = valuetext::parseDecimal(text))
            return SheetLayout::Value::ofNumber(*number);
        break;
    case FieldKind::Date:
    case FieldKind::DateTime:
        if (const QDate date = source.asDate(field); date.isValid())
            return SheetLayout::Value::ofDate(date);
        break;
    default:
        break;
    }
    return SheetLayout::Value::ofText(source.asString(field));
}

void writeHead(SheetLayout &sheet, const TKalvor &requisites, const QString &periodDate)
{
    sheet.setText(9, col::Q, QStringLiteral("за ") + periodDate + QStringLiteral(" года"));
    sheet.setText(3, col::H, requisites.FName);
    sheet.setText(4, col::H, requisites.FINN);
    sheet.setText(5, col::H, requisites.FLowAddress);
    sheet.setText(6, col::H, requisites.FPostAddress);
    sheet.setNumber(7, col::H, requisites.FDepartmentCount);
    sheet.setText(9, col::H, requisites.FLicenseSerial);
    sheet.setText(9, col::I, requisites.FLicenseNumber);
    sheet.setCell(9, col::J, SheetLayout::Value::ofDate(requisites.FLicenseDate));
    sheet.setCell(9, col::L, SheetLayout::Value::ofDate(requisites.FLicenseDeadline));
}

void colourRow(SheetLayout &sheet, int row, Rgb colour)
{
    sheet.setFontColour(row, row, col::A, col::AG, colour);
}

} // namespace kalvor::sheets
