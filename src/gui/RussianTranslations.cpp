#include "gui/RussianTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace kalvor::gui {

namespace {

// Texts of Qt's file icon provider, which Qt's Russian translation file of this Qt version misses.
class MissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (context == nullptr || sourceText == nullptr || std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        struct Text {
            const char *source;
            const char16_t *russian;
        };
        static constexpr Text kTexts[] = {
            {"Folder", u"Папка"},    {"File", u"Файл"},   {"Drive", u"Диск"},
            {"%1 File", u"Файл %1"}, {"Alias", u"Ярлык"}, {"Shortcut", u"Ярлык"},
        };
        for (const Text &t : kTexts)
            if (std::strcmp(sourceText, t.source) == 0)
                return QString::fromUtf16(t.russian);
        return {};
    }
};

} // namespace

void installRussianTranslations(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    QCoreApplication::installTranslator(new MissingQtTexts(&app));
}

} // namespace kalvor::gui
