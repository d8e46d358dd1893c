#include "store/DeclarationGenerator.h"

#include "store/Cp1251.h"
#include "store/DataPacketReader.h"
#include "store/KalvorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <set>

namespace kalvor {
namespace {

struct ParsedRow {
    QList<QPair<QString, QString>> attributes; // in file order
    QString value(const QString &name) const
    {
        for (const auto &[key, value] : attributes)
            if (key == name)
                return value;
        return {};
    }
    bool has(const QString &name) const
    {
        for (const auto &attribute : attributes)
            if (attribute.first == name)
                return true;
        return false;
    }
    unsigned state() const { return has(QStringLiteral("RowState")) ? value(QStringLiteral("RowState")).toUInt() : 0; }
};

struct ParsedPacket {
    QStringList fieldNames;
    QMap<QString, QString> fieldTypes; // "fixed 19.3", "string 50", "i2", ...
    QString changeLog;
    std::vector<ParsedRow> rows;
};

// Decodes the Windows-1251 bytes and reads them with a strict XML reader independent of the engine.
ParsedPacket parse(const std::string &bytes)
{
    std::string utf8;
    cp1251::appendUtf8(utf8, bytes);
    QXmlStreamReader xml(QByteArray::fromStdString(utf8));
    ParsedPacket packet;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("FIELD")) {
            const QString name = attributes.value(QLatin1String("attrname")).toString();
            packet.fieldNames << name;
            QString type = attributes.value(QLatin1String("fieldtype")).toString();
            if (type == QLatin1String("fixed"))
                type += QStringLiteral(" %1.%2").arg(attributes.value(QLatin1String("WIDTH")),
                                                      attributes.value(QLatin1String("DECIMALS")));
            else if (type == QLatin1String("string"))
                type += QLatin1Char(' ') + attributes.value(QLatin1String("WIDTH")).toString();
            packet.fieldTypes[name] = type;
        } else if (xml.name() == QLatin1String("PARAMS")) {
            packet.changeLog = attributes.value(QLatin1String("CHANGE_LOG")).toString();
        } else if (xml.name() == QLatin1String("ROW")) {
            ParsedRow row;
            for (const auto &attribute : attributes)
                row.attributes.append({attribute.name().toString(), attribute.value().toString()});
            packet.rows.push_back(std::move(row));
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return packet;
}

DeclarationOptions rowsOptions(std::size_t rows, bool engineStyle = false)
{
    DeclarationOptions options;
    options.rows = rows;
    options.engineStyle = engineStyle;
    return options;
}

char kindOf(const QString &key)
{
    if (key.mid(24, 6) == QLatin1String("000000"))
        return 'I';
    return key.mid(30, 2) == QLatin1String("00") ? 'P' : 'T';
}

qint64 units(const ParsedRow &row, const char *column)
{
    // Fixed values have exactly three decimals here, so dropping the point gives millilitres.
    return row.value(QString::fromLatin1(column)).remove(QLatin1Char('.')).toLongLong();
}

TEST(DeclarationGenerator, handWrittenFormIsTheDeclarationLayoutLineByLine)
{
    DeclarationSummary summary;
    const std::string bytes = DeclarationGenerator(rowsOptions(300)).generate(&summary);
    EXPECT_EQ(summary.bytes, bytes.size());

    // Windows-1251 without an encoding declaration, each element on its own CR LF line.
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n", 0), 0u);
    EXPECT_FALSE(cp1251::isValidUtf8(bytes)) << "Cyrillic text must be single bytes";
    std::size_t lines = 0;
    for (std::size_t start = 0; start < bytes.size(); ++lines) {
        const std::size_t end = bytes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "last line without CR LF";
        const std::string_view line(bytes.data() + start, end - start);
        EXPECT_EQ(line.find('\n'), std::string_view::npos);
        EXPECT_TRUE(line.front() == '<' && line.back() == '>') << line;
        start = end + 2;
    }
    EXPECT_EQ(lines, 1 + 1 + 2 + 33 + 2 + 1 + 300 + 2u);

    const ParsedPacket packet = parse(bytes);
    ASSERT_EQ(packet.fieldNames.size(), DeclarationGenerator::kColumnCount);
    EXPECT_EQ(packet.fieldNames.first(), QStringLiteral("dkey"));
    EXPECT_EQ(packet.fieldNames.last(), QStringLiteral("version"));
    EXPECT_EQ(packet.fieldTypes[QStringLiteral("alcohol")], QStringLiteral("fixed 6.2"));
    EXPECT_EQ(packet.fieldTypes[QStringLiteral("purches_price")], QStringLiteral("fixed 19.2"));
    EXPECT_EQ(packet.fieldTypes[QStringLiteral("rest")], QStringLiteral("fixed 19.3"));
    EXPECT_EQ(packet.fieldTypes[QStringLiteral("region_code")], QStringLiteral("i2"));
    EXPECT_EQ(packet.fieldTypes[QStringLiteral("production_name")], QStringLiteral("string 70"));
    EXPECT_TRUE(packet.changeLog.isEmpty());

    bool sawQuote = false;
    bool sawAmpersand = false;
    for (const ParsedRow &row : packet.rows) {
        ASSERT_FALSE(row.attributes.isEmpty());
        EXPECT_EQ(row.attributes.first(), qMakePair(QStringLiteral("RowState"), QStringLiteral("4")));
        // The remaining attributes follow the column order.
        qsizetype column = -1;
        for (qsizetype i = 1; i < row.attributes.size(); ++i) {
            const qsizetype next = packet.fieldNames.indexOf(row.attributes[i].first);
            ASSERT_GT(next, column) << row.attributes[i].first.toStdString();
            column = next;
        }
        for (const auto &attribute : row.attributes) {
            sawQuote = sawQuote || attribute.second.contains(QLatin1Char('"'));
            sawAmpersand = sawAmpersand || attribute.second.contains(QLatin1Char('&'));
        }
    }
    EXPECT_TRUE(sawQuote);
    EXPECT_TRUE(sawAmpersand);
}

TEST(DeclarationGenerator, keysAreUniqueOrderedAndTheKindsBelongTogether)
{
    DeclarationOptions options = rowsOptions(2000);
    options.inn = "770123456700";
    options.year = 2013;
    options.month = 11;
    DeclarationSummary summary;
    const ParsedPacket packet = parse(DeclarationGenerator(options).generate(&summary));
    ASSERT_EQ(packet.rows.size(), 2000u);

    static const QRegularExpression digits(QStringLiteral("^\\d{32}$"));
    std::set<QString> invoices, positions;
    QString previous;
    QMap<char, std::size_t> kinds;
    for (const ParsedRow &row : packet.rows) {
        const QString key = row.value(QStringLiteral("dkey"));
        ASSERT_TRUE(digits.match(key).hasMatch()) << key.toStdString();
        EXPECT_TRUE(key.startsWith(QStringLiteral("770123456700131100")));
        EXPECT_GT(key, previous) << "keys must be unique and ascending";
        previous = key;
        const char kind = kindOf(key);
        ++kinds[kind];
        if (kind == 'I')
            invoices.insert(key.mid(18, 6));
        else if (kind == 'P')
            positions.insert(key.mid(18, 12));
        // Every position has its invoice before it, every transfer its position.
        if (kind != 'I') {
            EXPECT_TRUE(invoices.count(key.mid(18, 6))) << key.toStdString();
        }
        if (kind == 'T') {
            EXPECT_TRUE(positions.count(key.mid(18, 12))) << key.toStdString();
        }
        // Only the first invoice carries the program version.
        EXPECT_EQ(row.has(QStringLiteral("version")), key.mid(18, 14) == QLatin1String("00000100000000"));
        EXPECT_EQ(row.has(QStringLiteral("license")), kind == 'I');
        EXPECT_EQ(row.has(QStringLiteral("package_count")), kind == 'P');
        EXPECT_EQ(row.has(QStringLiteral("department_code_inner")), kind == 'T');
    }
    EXPECT_EQ(kinds['I'], summary.invoices);
    EXPECT_EQ(kinds['P'], summary.positions);
    EXPECT_EQ(kinds['T'], summary.transfers);
    EXPECT_GT(summary.transfers, 0u);
}

TEST(DeclarationGenerator, valuesHaveTheirColumnFormatsAndTheBalancesAddUp)
{
    const ParsedPacket packet = parse(DeclarationGenerator(rowsOptions(1500)).generate());
    static const QRegularExpression date(QStringLiteral("^20\\d\\d(0[1-9]|1[0-2])(0[1-9]|[12]\\d|3[01])$"));
    QMap<QString, qint64> transferredOut; // position key -> litres its transfers bring elsewhere
    QMap<QString, qint64> positionOtherCharges;
    for (const ParsedRow &row : packet.rows) {
        for (const auto &[name, value] : row.attributes) {
            const QString type = packet.fieldTypes.value(name);
            if (type.startsWith(QLatin1String("fixed"))) {
                const int decimals = type.section(QLatin1Char('.'), 1).toInt();
                const QRegularExpression fixed(QStringLiteral("^\\d+\\.\\d{%1}$").arg(decimals));
                EXPECT_TRUE(fixed.match(value).hasMatch()) << name.toStdString() << "=" << value.toStdString();
            } else if (type == QLatin1String("dateTime")) {
                EXPECT_TRUE(date.match(value).hasMatch()) << name.toStdString() << "=" << value.toStdString();
            } else if (type == QLatin1String("i2") || type == QLatin1String("i4")) {
                bool ok = false;
                const int v = value.toInt(&ok);
                EXPECT_TRUE(ok && v >= 0 && (type == QLatin1String("i4") || v <= 32767)) << name.toStdString();
            } else if (type.startsWith(QLatin1String("string"))) {
                EXPECT_LE(value.size(), type.section(QLatin1Char(' '), 1).toInt()) << name.toStdString();
            }
        }
        const QString key = row.value(QStringLiteral("dkey"));
        const char kind = kindOf(key);
        if (kind == 'I')
            continue;
        // Remains at the end = start + coming - charges, in millilitres.
        const qint64 coming = units(row, "rest_volume") + units(row, "volume") + units(row, "return_volume")
            + units(row, "other_coming");
        const qint64 charges = units(row, "volume_charges") + units(row, "return_volume_charges")
            + units(row, "writeoff_volume_charges") + units(row, "other_charges");
        EXPECT_EQ(units(row, "rest"), coming - charges) << key.toStdString();
        EXPECT_GE(units(row, "rest"), 0) << key.toStdString();
        if (kind == 'P') {
            EXPECT_EQ(units(row, "volume"), row.value(QStringLiteral("package_count")).toLongLong()
                                                * units(row, "package_volume"));
            positionOtherCharges[key.mid(18, 12)] = units(row, "other_charges");
        } else {
            transferredOut[key.mid(18, 12)] += units(row, "other_coming");
        }
    }
    for (auto it = positionOtherCharges.cbegin(); it != positionOtherCharges.cend(); ++it)
        EXPECT_EQ(it.value(), transferredOut.value(it.key())) << it.key().toStdString();
}

TEST(DeclarationGenerator, engineStyleKeepsTheChangeLogConsistentWithTheRowStates)
{
    DeclarationSummary summary;
    const std::string bytes = DeclarationGenerator(rowsOptions(3000, true)).generate(&summary);
    EXPECT_EQ(bytes.find('\n'), std::string::npos) << "an engine file is one line";
    const ParsedPacket packet = parse(bytes);
    ASSERT_EQ(packet.rows.size(), summary.records);

    std::size_t visible = 0;
    std::set<QString> visibleKeys;
    QMap<unsigned, std::size_t> states;
    for (const ParsedRow &row : packet.rows) {
        ++states[row.state()];
        if ((row.state() & 35) == 0) {
            ++visible;
            EXPECT_TRUE(visibleKeys.insert(row.value(QStringLiteral("dkey"))).second) << "two current versions";
        }
    }
    EXPECT_EQ(visible, 3000u);
    EXPECT_EQ(packet.rows.size() - visible, summary.hiddenRecords);
    for (unsigned state : {0u, 1u, 2u, 4u, 5u, 6u, 8u, 12u})
        EXPECT_GT(states[state], 0u) << "no record with RowState " << state;

    const QStringList numbers = packet.changeLog.split(QLatin1Char(' '));
    ASSERT_EQ(numbers.size() % 3, 0);
    EXPECT_EQ(static_cast<std::size_t>(numbers.size() / 3), summary.changeLogEntries);
    std::set<int> logged;
    for (qsizetype i = 0; i < numbers.size(); i += 3) {
        const int record = numbers[i].toInt();
        const int previous = numbers[i + 1].toInt();
        const int action = numbers[i + 2].toInt();
        ASSERT_TRUE(record >= 1 && record <= static_cast<int>(packet.rows.size()));
        const ParsedRow &row = packet.rows[static_cast<std::size_t>(record - 1)];
        if (action == 8) {
            // An edit hides the old version and appends the new one with the same key.
            ASSERT_TRUE(previous >= 1 && previous < record);
            const ParsedRow &old = packet.rows[static_cast<std::size_t>(previous - 1)];
            EXPECT_EQ(old.value(QStringLiteral("dkey")), row.value(QStringLiteral("dkey")));
            EXPECT_TRUE(old.state() & 1);
            EXPECT_TRUE(row.state() & 8);
            logged.insert(previous);
        } else {
            EXPECT_EQ(previous, 0);
            EXPECT_TRUE(action == 4 || action == 2) << action;
            EXPECT_TRUE(row.state() & static_cast<unsigned>(action));
            // A row is logged as inserted before it is logged as deleted.
            if (action == 2 && (row.state() & 4)) {
                EXPECT_TRUE(logged.count(record));
            }
        }
        logged.insert(record);
    }
    for (std::size_t i = 0; i < packet.rows.size(); ++i) {
        if (packet.rows[i].state() != 0) {
            EXPECT_TRUE(logged.count(static_cast<int>(i + 1))) << "record " << i + 1 << " missing from the log";
        }
    }
}

TEST(DeclarationGenerator, sizeKnobsAndSeedsDecideTheOutput)
{
    DeclarationOptions options;
    options.invoices = 10;
    options.positionsPerInvoice = 4;
    options.transfersPerPosition = 0;
    DeclarationSummary summary;
    const std::string first = DeclarationGenerator(options).generate(&summary);
    EXPECT_EQ(summary.invoices, 10u);
    EXPECT_EQ(summary.transfers, 0u);
    EXPECT_GE(summary.positions, 10u);
    EXPECT_LE(summary.positions, 70u);
    EXPECT_EQ(DeclarationGenerator(options).generate(), first);
    options.seed = 2;
    EXPECT_NE(DeclarationGenerator(options).generate(), first);

    // About 45 MB for 80,000 rows: checked on a tenth.
    DeclarationGenerator(rowsOptions(8000)).generate(&summary);
    EXPECT_EQ(summary.visibleRows(), 8000u);
    EXPECT_GT(summary.bytes / 8000, 500u);
    EXPECT_LT(summary.bytes / 8000, 650u);
}

TEST(DeclarationGenerator, writtenFileEqualsTheGeneratedBytes)
{
    const DeclarationGenerator generator(rowsOptions(5000, true));
    const QString path = QDir::temp().filePath(QStringLiteral("kalvor-generator-test-%1.xml").arg(QCoreApplication::applicationPid()));
    DeclarationSummary summary;
    ASSERT_TRUE(generator.writeFile(path.toStdString(), &summary));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.remove();
    EXPECT_EQ(written.toStdString(), generator.generate());
    EXPECT_EQ(summary.bytes, static_cast<std::size_t>(written.size()));
    EXPECT_FALSE(generator.writeFile("/nonexistent-folder/x.xml"));
}

// The engine reads what the generator writes, so the benchmarks measure real loads.
TEST(DeclarationGenerator, engineLoadsBothForms)
{
    for (bool engineStyle : {false, true}) {
        DeclarationSummary summary;
        const std::string bytes = DeclarationGenerator(rowsOptions(1000, engineStyle)).generate(&summary);
        TableData data;
        ASSERT_NO_THROW(readDataPacketBytes(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                            QStringLiteral("generated.xml"), data));
        EXPECT_EQ(data.fieldCount(), DeclarationGenerator::kColumnCount);
        EXPECT_EQ(data.recordCount(), summary.records);
        std::size_t visible = 0;
        for (std::uint32_t r = 0; r < data.recordCount(); ++r)
            visible += RowState::isVisible(data.rowState(r)) ? 1 : 0;
        EXPECT_EQ(visible, 1000u);
        EXPECT_EQ(data.changeLog.size(), summary.changeLogEntries);
    }
}

} // namespace
} // namespace kalvor
