#include "period/ErrorLog.h"

#include <QDir>
#include <QSaveFile>

namespace kalvor::period {

QString exportLogHeader()
{
    return QStringLiteral("dkey|поставщик|лицензия поставщика|дата лицензия поставщика|номер накладной поставщика|"
                          "дата накладной поставщика|адрес погрузки|наименование продукции|дата розлива|"
                          "вид продукции|производитель|регион|подразделение (куда приход)|"
                          "возврат покупателя, л.|прочий приход, л.|подразделение (внутр. приход)|% спирта|"
                          "емкость тары, л.|кол-во тары, шт.|объем (приход), л.|цена закупки, руб.|"
                          "сумма закупки, тыс.руб.|наличие на начало месяца, л.|кол-во тары, шт.|"
                          "объем (расход), л.|цена продажи, руб.|сумма продажи, тыс.руб.|"
                          "возврат поставщику, л.|списание, л.|внутр. перемещ. (расход)|"
                          "подразделение (вн. перемещ. расход)|остаток на конец периода, л.");
}

QString errorLogFileName(const QString &curDir)
{
    return QDir(curDir).filePath(QStringLiteral("error.log"));
}

ErrorLogFile::ErrorLogFile() = default;

ErrorLogFile::~ErrorLogFile()
{
    ErrorLogFileClose(*this);
}

bool ErrorLogFile::isOpen() const
{
    return m_file && m_file->isOpen();
}

bool openErrorLog(ErrorLogFile &F, const QString &curDir, const QString &header)
{
    // A log left open by an earlier run of the same object is finished first.
    ErrorLogFileClose(F);
    F.m_fileName = errorLogFileName(curDir);
    auto file = std::make_unique<QSaveFile>(F.m_fileName);
    if (!file->open(QIODevice::WriteOnly))
        return false;
    F.m_file = std::move(file);
    ErrorLogFileSaveTo(F, header);
    if (F.m_file->error() != QFileDevice::NoError) {
        F.m_file.reset(); // discards the temporary file
        return false;
    }
    return true;
}

void ErrorLogFileOpen(ErrorLogFile &F, const QString &curDir)
{
    openErrorLog(F, curDir, exportLogHeader());
}

void ErrorLogFileSaveTo(ErrorLogFile &F, const QString &line)
{
    if (!F.isOpen())
        return;
    QByteArray bytes = line.toUtf8();
    bytes += '\n';
    F.m_file->write(bytes);
}

void ErrorLogFileClose(ErrorLogFile &F)
{
    if (!F.m_file)
        return;
    // A log whose writing failed is discarded by commit(), leaving the previous one in place.
    F.m_file->commit();
    F.m_file.reset();
}

} // namespace kalvor::period
