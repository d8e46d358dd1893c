#include "cli/docs/BashCompletion.h"

#include <QRegularExpression>

namespace kalvor::cli {
namespace {

// What a command's arguments complete to: "-d" folders, "-f" files, "" nothing (a period, no arguments).
QString argumentKind(const QString &usage)
{
    static const QRegularExpression word(QStringLiteral("\\b\\p{Lu}{2,}\\b"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    QString kind;
    for (auto it = word.globalMatch(usage); it.hasNext();) {
        const QString name = it.next().captured();
        if (name == u"ПАПКА")
            return QStringLiteral("-d");
        if (name != u"ГГГГММ")
            kind = QStringLiteral("-f");
    }
    return kind;
}

QString options(const QString &usage)
{
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    QStringList found;
    for (auto it = option.globalMatch(usage); it.hasNext();) {
        const QString name = it.next().captured();
        if (!found.contains(name))
            found.append(name);
    }
    found.append(QStringLiteral("--help"));
    return found.join(u' ');
}

} // namespace

QString bashCompletion(const std::vector<Command> &commands)
{
    QStringList names;
    QString cases;
    for (const Command &command : commands) {
        names.append(command.name);
        cases += QStringLiteral("        %1) words=\"%2\" files=%3 ;;\n")
                     .arg(command.name, options(command.usage), argumentKind(command.usage));
    }
    return QStringLiteral(R"(# bash completion for kalvor-cli, made from its command table.

_kalvor_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command= i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --home) ((i++)) ;;
        -*) ;;
        *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    if [[ $prev == --home ]]; then
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
    fi
    local words files
    case $command in
        '') words="--home --help --version %1" files= ;;
%2        *) words= files=-f ;;
    esac
    if [[ -z $command || $cur == -* || -z $files ]]; then
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen $files -- "$cur"))
}
complete -F _kalvor_cli kalvor-cli
)")
        .arg(names.join(u' '), cases);
}

} // namespace kalvor::cli
