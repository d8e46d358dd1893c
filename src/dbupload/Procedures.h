#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kalvor::dbupload {

// The procedures of the reporting database: names, parameters in order and the result columns the
// callers read. Both databases carry every one of them (share/db/postgresql/procedures.sql as
// functions, share/db/sqlite/procedures.sql as named statements).
namespace procedures {
inline const QString REP_INN = QStringLiteral("REP_INN");
inline const QString DELETE_OLD_KALVOR = QStringLiteral("DELETE_OLD_KALVOR");
inline const QString DELETE_OLD_DECLARATION = QStringLiteral("DELETE_OLD_DECLARATION");
inline const QString DELETE_ALCOHOL_OBJECTS = QStringLiteral("DELETE_ALCOHOL_OBJECTS");
inline const QString REP_KALVOR = QStringLiteral("REP_KALVOR");
inline const QString REP_KALVOR_SUM = QStringLiteral("REP_KALVOR_SUM");
inline const QString REP_GET_KALVOR_INFO = QStringLiteral("REP_GET_KALVOR_INFO");
inline const QString REP_IMPORT_PRODUCTION = QStringLiteral("REP_IMPORT_PRODUCTION");
inline const QString REP_SUPPLIERS_BY_SUPPLIERS = QStringLiteral("REP_SUPPLIERS_BY_SUPPLIERS");
inline const QString REP_SUPPLIERS_BY_PRODUCTION_CODE = QStringLiteral("REP_SUPPLIERS_BY_PRODUCTION_CODE");
inline const QString REP_REGIONS_BY_REGIONS = QStringLiteral("REP_REGIONS_BY_REGIONS");
inline const QString REP_REGIONS_BY_PRODUCTION_CODE = QStringLiteral("REP_REGIONS_BY_PRODUCTION_CODE");
inline const QString REP_REGIONS_BY_REGIONS_LITR = QStringLiteral("REP_REGIONS_BY_REGIONS_LITR");
inline const QString REP_REGIONS_BY_PRODUCTION_LITR_CODE = QStringLiteral("REP_REGIONS_BY_PRODUCTION_LITR_CODE");
inline const QString REP_PRODUCTIONS_BY_RAION = QStringLiteral("REP_PRODUCTIONS_BY_RAION");
inline const QString REP_PRODUCTIONS_BY_PROIZV = QStringLiteral("REP_PRODUCTIONS_BY_PROIZV");
inline const QString REP_VODKA52 = QStringLiteral("REP_VODKA52");
inline const QString REP_OBJECTS_BY_PERIOD = QStringLiteral("REP_OBJECTS_BY_PERIOD");
} // namespace procedures

enum class ParamType { String, Integer };

struct ProcedureInfo {
    QString name;
    QList<ParamType> parameters;
    QStringList columns; // empty for a procedure without result rows
};

const QList<ProcedureInfo> &procedureCatalogue();
// Without regard to case; null when there is no such procedure.
const ProcedureInfo *findProcedure(QStringView name);

} // namespace kalvor::dbupload
