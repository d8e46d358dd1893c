// kalvor-pack-template: builds a workbook template from its XML sources (the build runs it).
//   kalvor-pack-template OUT.xlsx FOLDER...   later folders replace files of earlier ones
#include "sheets/XlsxPackage.h"
#include "store/KalvorError.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fputs("usage: kalvor-pack-template OUT.xlsx FOLDER...\n", stderr);
        return 2;
    }
    try {
        const auto package = kalvor::sheets::XlsxPackage::fromFolders(args.mid(1));
        package.write(args.front(), {}, kalvor::sheets::XlsxPackage::kTemplateTime);
    } catch (const kalvor::KalvorError &e) {
        std::fprintf(stderr, "kalvor-pack-template: %s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
