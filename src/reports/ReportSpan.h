#pragma once

#include <QString>

namespace kalvor::reports {

// The span of months a regulator report covers, as chosen in the period dialog.
struct ReportSpan {
    int startYear = 0;  // four-digit
    int startMonth = 0; // 1-12
    int endYear = 0;
    int endMonth = 0;

    // YYMM of the procedures: March 2012 -> 1203. A start after the end goes to the database unchanged.
    int start() const;
    int end() const;
    // "Отчет составлен за период с март 2012 г. по май 2012 г.": the month names as the lists show them.
    QString headerText() const;

    // A span from "YYYYMM" texts, as the command line gives them; throws KalvorError when one is no month.
    static ReportSpan fromPeriods(const QString &from, const QString &to);
};

} // namespace kalvor::reports
