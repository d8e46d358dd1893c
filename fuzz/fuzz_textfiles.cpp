// Feeds arbitrary bytes to every reader of the plain text files the program takes from outside: the
// split exchange file divide/data.txt, the waybill mapping data/default1.txt and the error log whose
// unlinked waybills the error deletion reads. None may crash, whatever the encoding or line ends.
#include "maintenance/FieldCorrections.h"
#include "maintenance/ReportSplit.h"
#include "maintenance/TextFiles.h"
#include "period/ErrorDeletion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const QString text = kalvor::maintenance::decodeText(bytes);
    const QStringList lines = kalvor::maintenance::textLines(text);
    for (const QString &line : lines)
        (void)kalvor::maintenance::GetRightString(line);
    const auto mapping = kalvor::maintenance::WaybillMapping::fromText(text);
    if (!lines.isEmpty())
        (void)mapping.getFile(lines.constFirst());

    // The same bytes as each file the program reads by name.
    const QString exchange = dir.filePath(QStringLiteral("data.txt"));
    const QString log = dir.filePath(QStringLiteral("error.log"));
    for (const QString &name : {exchange, log}) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            std::abort();
    }
    (void)kalvor::maintenance::loadExchangeFile(exchange);
    const QStringList waybills = kalvor::period::waybillsToDelete(dir.path() + u'/');
    for (const QString &waybill : waybills)
        if (waybill.contains(u'\n'))
            std::abort();
    return 0;
}
