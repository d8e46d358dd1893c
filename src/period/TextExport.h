#pragma once

#include <QString>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::period {

struct TextExportResult {
    QString message;
    qint64 lines = 0;    // rows written to data.txt, the header not counted
    qint64 unlinked = 0; // rows without an invoice, listed in error.log
};

// data.txt in the workspace folder: the export header, then one line per position and transfer row for
// each invoice row sharing its first 24 key characters (period prefix and invoice number), with the
// supplier, licence, waybill date and loading address of that invoice and everything else of its own;
// each field as the grid shows it. Rows without an invoice go to error.log as "Не выгрузилось ттн №: "
// and their waybill number. Nothing is changed when the declaration cannot be read (KalvorError naming
// the file); a data.txt that cannot be written throws KalvorError naming it.
TextExportResult exportText(const TAppSettings &settings);

} // namespace kalvor::period
