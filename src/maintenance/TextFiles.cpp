#include "maintenance/TextFiles.h"

#include "store/Cp1251.h"

namespace kalvor::maintenance {

QString decodeText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    const std::string_view raw(view.data(), static_cast<std::size_t>(view.size()));
    if (cp1251::isValidUtf8(raw))
        return QString::fromUtf8(view);
    std::string utf8;
    cp1251::appendUtf8(utf8, raw);
    return QString::fromStdString(utf8);
}

QStringList textLines(const QString &text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

} // namespace kalvor::maintenance
