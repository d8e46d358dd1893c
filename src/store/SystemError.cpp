#include "store/SystemError.h"

#include <cerrno>
#include <clocale>
#include <cstring>

#include <locale.h>

namespace kalvor {
namespace {

struct Reason {
    int errnum;
    const char *text;
};

// The reasons a user meets when saving or reading files.
constexpr Reason kReasons[] = {
    {ENOSPC, "Нет места на устройстве"},
    {EDQUOT, "Превышена дисковая квота"},
    {EFBIG, "Файл слишком велик"},
    {EROFS, "Файловая система доступна только для чтения"},
    {EACCES, "Отказано в доступе"},
    {EPERM, "Операция не позволена"},
    {EIO, "Ошибка ввода/вывода"},
    {ENOENT, "Нет такого файла или каталога"},
    {ENOTDIR, "Это не каталог"},
    {EISDIR, "Это каталог"},
    {EEXIST, "Файл существует"},
    {EBUSY, "Устройство или ресурс занято"},
    {EMFILE, "Слишком много открытых файлов"},
    {ENFILE, "Слишком много открытых файлов в системе"},
    {ENAMETOOLONG, "Слишком длинное имя файла"},
    {ENOMEM, "Не удалось выделить память"},
};

QString cLocaleText(int errnum)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c ? QString::fromUtf8(strerror_l(errnum, c)) : QString();
}

} // namespace

QString systemErrorText(int errnum)
{
    for (const Reason &reason : kReasons)
        if (reason.errnum == errnum)
            return QString::fromUtf8(reason.text);
    return QString::fromLocal8Bit(std::strerror(errnum));
}

QString systemReason(const QString &qtErrorString)
{
    const QString text = qtErrorString.trimmed();
    for (const Reason &reason : kReasons)
        if (text.compare(cLocaleText(reason.errnum), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(reason.text);
    return text;
}

} // namespace kalvor
