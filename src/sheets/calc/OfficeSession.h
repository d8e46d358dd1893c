#pragma once

#include "sheets/calc/OfficeOptions.h"

#include <QtGlobal>

#include <QString>

#include <memory>
#include <vector>

namespace kalvor::sheets::calc {

class OfficeConnection;

// A connection to the office for callers outside this library (TOOCalc takes it), without the UNO API.
std::shared_ptr<OfficeConnection> connectOffice(const OfficeOptions &options);
// Ends the office when this connection started it; an office the user already ran is left alone.
void terminateOffice(OfficeConnection &connection);
// How long one request may wait for the office's answer from now on.
void setCallTimeout(OfficeConnection &connection, int seconds);
// The office's own process when this program started it, else 0.
qint64 officeProcess(const OfficeConnection &connection);

// The spreadsheet documents open in the office: where each is stored (empty when untitled), whether it
// holds unsaved changes, whether its window is shown, and the text of the named cell of its first sheet.
struct OpenSpreadsheet {
    QString url;
    bool modified = false;
    bool visible = false;
    QString cell;
};
std::vector<OpenSpreadsheet> openSpreadsheets(OfficeConnection &connection, const QString &cellName);

} // namespace kalvor::sheets::calc
