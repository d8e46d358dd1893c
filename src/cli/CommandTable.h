#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

#include <functional>
#include <vector>

namespace kalvor::cli {

struct Options {
    QString home; // --home: the workspace folder, for commands that work in one
};

struct Command {
    QString name;
    QString usage;   // "dump [--count] ФАЙЛ"
    QString summary; // one line of what it does
    // Returns the exit status; a KalvorError reaching the caller is printed with status 1.
    std::function<int(const Options &, const QStringList &)> run;
    bool fonts = false; // draws text: runs in a QGuiApplication on the offscreen platform
};

const std::vector<Command> &commands();
// The lines of the program's synopsis, without "Использование:"; --help and the man page both show them.
QStringList synopsis();
// Every line kalvor-cli prints goes through these: each field is escaped (control characters never
// reach the terminal, a value never starts a line of its own) and fields are joined by TAB.
void printLine(const QStringList &fields, std::FILE *stream = stdout);
void printLine(const QString &text, std::FILE *stream = stdout);
void printError(const QString &message);

// Each command lives in a file of its own and gives its entry here.
Command dumpCommand();
Command copyCommand();
Command demoCommand();
Command compactCommand();
Command clearUnlinkedCommand();
Command repairKeysCommand();
Command convertKindsCommand();
Command recomputePurchasesCommand();
Command fillRegionsCommand();
Command clearTransfersCommand();
Command replaceWaybillsCommand();
Command splitCommand();
Command carryOverCommand();
Command verifyCommand();
Command mergeCommand();
Command exportFilesCommand();
Command reconcileCommand();
Command exportTextCommand();
Command exportXlsxCommand();
Command errorReportCommand();
Command exportPdfCommand();
Command dbCommand();
Command exportCalcCommand();

} // namespace kalvor::cli
