#include "cli/docs/ManPage.h"

namespace kalvor::cli {
namespace {

// Paragraphs of plain text; each element is one filled paragraph.
void paragraphs(QString &page, std::initializer_list<const char16_t *> texts)
{
    bool first = true;
    for (const char16_t *text : texts) {
        if (!first)
            page += QStringLiteral(".PP\n");
        page += roffText(QString::fromUtf16(text)) + u'\n';
        first = false;
    }
}

// A tagged paragraph: the tag in bold, the text below it indented.
void item(QString &page, const QString &tag, const QString &text)
{
    page += QStringLiteral(".TP\n.B \"") + roffText(tag) + QStringLiteral("\"\n") + roffText(text) + u'\n';
}

struct Item {
    const char16_t *tag;
    const char16_t *text;
};

void items(QString &page, std::initializer_list<Item> list)
{
    for (const Item &entry : list)
        item(page, QString::fromUtf16(entry.tag), QString::fromUtf16(entry.text));
}

} // namespace

QString roffText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\e");
        else if (c == u'-')
            out += QStringLiteral("\\-");
        else if (c == u'"')
            out += QStringLiteral("\\(dq");
        else if (c == u'\n')
            out += u' ';
        else
            out += c;
    }
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

QString manPage(const std::vector<Command> &commands, const QString &version)
{
    QString page = QStringLiteral(".TH KALVOR\\-CLI 1 \"\" \"Kalvor %1\" \"Команды пользователя\"\n").arg(roffText(version));
    page += QStringLiteral(".SH ИМЯ\nkalvor\\-cli \\- декларация о розничной продаже алкогольной продукции из командной строки\n");

    page += QStringLiteral(".SH СИНТАКСИС\n.nf\n");
    for (const QString &line : synopsis())
        page += roffText(line) + u'\n';
    page += QStringLiteral(".fi\n");

    page += QStringLiteral(".SH ОПИСАНИЕ\n");
    paragraphs(page, {
        u"kalvor-cli выполняет над файлами Kalvor те же действия, что и программа kalvor, но без окон: "
        u"выводит и копирует таблицы, создает рабочую папку с примером, обслуживает декларацию текущего "
        u"отчетного периода, переносит остатки в новый месяц, проверяет и объединяет сданные отчеты.",
        u"Команды, которые работают с отчетным периодом, берут его и пути к его файлам из файла настроек "
        u"tamrel.ini рабочей папки. Файлы таблиц записываются целиком и атомарно: при сбое прежний файл "
        u"остается нетронутым.",
    });

    page += QStringLiteral(".SH ПАРАМЕТРЫ\n");
    items(page, {
        {u"--home ПАПКА", u"Рабочая папка, с которой работает команда."},
        {u"--help", u"Выводит список команд. После имени команды выводит описание только этой команды."},
        {u"--version", u"Выводит номер версии программы."},
    });

    page += QStringLiteral(".SH КОМАНДЫ\n");
    for (const Command &command : commands)
        item(page, command.usage, command.summary);

    page += QStringLiteral(".SH РАБОЧАЯ ПАПКА\n");
    paragraphs(page, {
        u"Рабочая папка выбирается так: папка параметра --home; иначе папка из переменной окружения "
        u"KALVOR_HOME; иначе папка самой программы, если в ней есть папка templates и в нее можно писать; "
        u"иначе ~/.local/share/kalvor.",
        u"Чего в рабочей папке нет из шаблонов (templates), справочников (reports) и документов (doc), "
        u"программа дописывает из установленной папки share/kalvor рядом с папкой программы "
        u"(для пакета это /usr/share/kalvor). Уже существующие файлы не заменяются.",
    });

    page += QStringLiteral(".SH КОД ВОЗВРАТА\n");
    items(page, {
        {u"0", u"Команда выполнена."},
        {u"1", u"Файл не удалось прочитать или записать, или проверка не пройдена; причина выводится одной "
               u"строкой в поток ошибок."},
        {u"2", u"Неверная командная строка."},
    });

    page += QStringLiteral(".SH ОКРУЖЕНИЕ\n");
    items(page, {{u"KALVOR_HOME", u"Рабочая папка, если не указан параметр --home."}});

    page += QStringLiteral(".SH СМ. ТАКЖЕ\n");
    paragraphs(page, {u"Руководство пользователя Kalvor_User_Guide_Ru_2_0.doc в папке doc рабочей папки; "
                      u"в программе kalvor оно открывается из меню «Помощь»."});
    return page;
}

} // namespace kalvor::cli
