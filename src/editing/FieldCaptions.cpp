#include "editing/FieldCaptions.h"

#include <QRegularExpression>

namespace kalvor {

namespace {

struct Caption {
    const char16_t *field;
    const char16_t *caption;
};

constexpr Caption kCaptions[] = {
    {u"supply_name", u"Поставщик"},
    {u"license", u"Лицензия (серия, номер)"},
    {u"license_date", u"Дата получения лицензии"},
    {u"ttn_numer", u"Номер ТТН"},
    {u"ttn_date", u"Дата ТТН"},
    {u"loading_address", u"Адрес погрузки"},
    {u"production_name", u"Наименование"},
    {u"production_number", u"Дата изготовления"},
    {u"production_code", u"Код вида"},
    {u"producer_name", u"Производитель"},
    {u"region_code", u"Код субъекта РФ"},
    {u"department_code", u"Код обособленного подразделения"},
    {u"return_volume", u"Возврат покупателя (литров)"},
    {u"other_coming", u"Прочий приход"},
    {u"department_code_inner", u"Код обособленного подразделения (откуда)"},
    {u"alcohol", u"Содержание спирта (%)"},
    {u"package_volume", u"Емкость тары (л.)"},
    {u"package_count", u"Количество тары (шт.)"},
    {u"volume", u"Объем (л.)"},
    {u"purches_price", u"Цена закупки (руб.)"},
    {u"sum_coming", u"Сумма (тыс.руб.)"},
    {u"rest_volume", u"Наличие на начало месяца (л.)"},
    {u"package_count_charges", u"Розничная продажа: кол-во тары (шт.)"},
    {u"volume_charges", u"Розничная продажа: объем (л.)"},
    {u"markup", u"Розничная цена (руб.)"},
    {u"sum_charges", u"Розничная продажа: сумма (тыс. руб.)"},
    {u"return_volume_charges", u"Возврат поставщику (литров)"},
    {u"writeoff_volume_charges", u"Списание (литров)"},
    {u"other_charges", u"Прочий расход (литров)"},
    {u"rest", u"Остаток на конец отчетного периода (л.)"},
};

} // namespace

QString fieldCaption(QStringView field)
{
    for (const Caption &c : kCaptions)
        if (field.compare(QStringView(c.field), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(c.caption);
    return {};
}

QString withFieldCaption(const QString &message, QStringView field)
{
    const QString caption = fieldCaption(field);
    if (caption.isEmpty() || field.isEmpty())
        return message;
    // Whole words only: "volume" must not touch "rest_volume".
    const QRegularExpression name(QStringLiteral("(?<![\\w])") + QRegularExpression::escape(field.toString()) +
                                      QStringLiteral("(?![\\w])"),
                                  QRegularExpression::CaseInsensitiveOption);
    QString result = message;
    return result.replace(name, u'«' + caption + u'»');
}

} // namespace kalvor
