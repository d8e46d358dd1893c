#include "store/DeclarationGenerator.h"

#include "store/Cp1251.h"
#include "store/DeclarationSchema.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvor {
namespace {

// --- columns ----------------------------------------------------------------------------------

enum Column {
    DKey, SupplyName, License, LicenseDate, TtnNumer, TtnDate, LoadingAddress, ProductionName,
    ProductionNumber, ProductionCode, ProducerName, RegionCode, DepartmentCode, ReturnVolume, OtherComing,
    DepartmentCodeInner, Alcohol, PackageVolume, PackageCount, Volume, PurchesPrice, SumComing, RestVolume,
    PackageCountCharges, VolumeCharges, Markup, SumCharges, ReturnVolumeCharges, WriteoffVolumeCharges,
    OtherCharges, DepartmentCodeInnerCharges, Rest, Version, ColumnCount
};
static_assert(ColumnCount == DeclarationGenerator::kColumnCount);

constexpr const auto &kColumns = kDeclarationColumns;
static_assert(kColumns.size() == ColumnCount);

// --- deterministic randomness -------------------------------------------------------------------

// splitmix64: the same numbers on every platform, unlike the standard distributions.
constexpr std::uint64_t mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class Random final {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() { return mix(m_state++); }
    // Uniform enough in [0, n) for the small n used here.
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : next() % n; }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

// --- text pools -----------------------------------------------------------------------------------

struct Kind {
    int code;
    std::string_view word;
    int alcoholMin; // hundredths of a percent
    int alcoholMax;
    std::array<int, 3> packageMl;
    int priceMin; // roubles per package of 0.5 l
    int priceMax;
};

// Codes of the kinds-of-production book delivered in share/reports/production.xml.
constexpr std::array<Kind, 10> kKinds = {{
    {1, "Водка", 4000, 4000, {500, 250, 700}, 180, 420},
    {2, "Настойка", 2000, 3500, {500, 700, 250}, 150, 380},
    {3, "Коньяк", 4000, 4200, {500, 250, 700}, 350, 1400},
    {4, "Бренди", 3600, 4000, {500, 700, 1000}, 300, 900},
    {4, "Виски", 4000, 4300, {700, 500, 1000}, 600, 2500},
    {6, "Вино столовое", 1050, 1400, {750, 1500, 3000}, 90, 600},
    {7, "Вино игристое", 1050, 1250, {750, 750, 1500}, 150, 900},
    {8, "Сидр", 500, 700, {500, 1000, 330}, 60, 160},
    {5, "Пиво", 450, 800, {500, 450, 1500}, 35, 120},
    {8, "Напиток слабоалкогольный", 700, 900, {330, 500, 450}, 45, 110},
}};

constexpr std::array<std::string_view, 24> kBrands = {
    "Пшеничная", "Северная звезда", "Русский лес", "Берёзовая роща", "Кедровая", "Белый медведь",
    "Золотая нива", "Старый город", "Д'Артаньян", "Шато Ле Гран", "Кубань & Дон", "Три звёздочки",
    "Ночной Петербург", "Уральский самоцвет", "Ласточка", "Тихий Дон", "Морошка", "Сибирский кедр",
    "Жигулёвское барное", "Янтарное", "Бочонок & Кружка", "Мускат летний", "Вишнёвый сад", "Граф Орлов",
};

constexpr std::array<std::string_view, 6> kProductTails = {
    "", " выдержанный", " мягкий", " особый", " классический", " премиум",
};

constexpr std::array<std::string_view, 5> kCompanyForms = {"ООО", "ЗАО", "ОАО", "АО", "ООО"};

constexpr std::array<std::string_view, 20> kCompanyNames = {
    "Винный погреб", "Северный ветер", "Алкотрейд", "Торговый дом Кубань", "Ром & Ко", "Д'Арт Вин",
    "Волга-Дистрибуция", "Смирнов & Сыновья", "Гранд Вин", "Сибирская ярмарка", "Нева-Алко",
    "Вина & Коньяки", "Уральский купец", "Логистик-Плюс", "Южный берег", "Московская оптовая база",
    "Таёжный край", "Камская пристань", "Дом вина «Лоза»", "Меркурий",
};

constexpr std::array<std::string_view, 16> kProducers = {
    "ОАО \"Северная винокурня\"", "ООО \"Ликёро-водочный завод «Заря»\"", "ЗАО \"Вина & Коньяки Кубани\"",
    "ООО \"Пивоварня Старый мост\"", "АО \"Уральские напитки\"", "ООО \"Д'Арт Вин\"",
    "ОАО \"Кизлярский коньячный\"", "ООО \"Сидровый двор\"", "ЗАО \"Шампанские вина\"",
    "ООО \"Винодельня «Голубая бухта»\"", "ОАО \"Татспиртовый\"", "ООО \"Пиво & Солод\"",
    "АО \"Омский ЛВЗ\"", "ООО \"Кедровый бор\"", "ЗАО \"Невские берега\"", "ИП Сидоров А. Ё.",
};

constexpr std::array<std::string_view, 12> kCities = {
    "г. Москва", "г. Санкт-Петербург", "г. Екатеринбург", "г. Казань", "г. Краснодар", "г. Самара",
    "г. Новосибирск", "г. Ростов-на-Дону", "г. Пермь", "г. Тверь", "г. Воронеж", "г. Омск",
};

constexpr std::array<std::string_view, 10> kStreets = {
    "ул. Складская", "ул. Промышленная", "пр-т Мира", "ул. Заводская", "ш. Энтузиастов",
    "ул. Ленина", "ул. Береговая", "пер. Торговый", "ул. Вокзальная", "ул. Садовая",
};

// Codes of the regions book delivered in share/reports/regions.xml.
constexpr std::array<int, 10> kRegions = {77, 50, 78, 23, 16, 66, 54, 61, 59, 5};

// XML text of a value, then Windows-1251 bytes. Engine files also escape line breaks and tabs.
std::string fileText(std::string_view utf8, bool escapeControls)
{
    std::string escaped;
    for (char c : utf8) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        case '\r': escaped += escapeControls ? "&#13;" : "\r"; break;
        case '\n': escaped += escapeControls ? "&#10;" : "\n"; break;
        case '\t': escaped += escapeControls ? "&#9;" : "\t"; break;
        default: escaped += c;
        }
    }
    std::string out;
    cp1251::appendFromUtf8(out, escaped); // every pool text fits the code page
    return out;
}

// --- numbers --------------------------------------------------------------------------------------

void appendInt(std::string &out, std::int64_t value)
{
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

// An exact decimal held as an integer count of 10^-decimals.
void appendFixed(std::string &out, std::int64_t units, int decimals)
{
    if (units < 0) {
        out += '-';
        units = -units;
    }
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    appendInt(out, units / scale);
    out += '.';
    const std::int64_t fraction = units % scale;
    std::int64_t digit = scale / 10;
    for (int i = 0; i < decimals; ++i, digit /= 10)
        out += static_cast<char>('0' + (fraction / digit) % 10);
}

void appendPadded(std::string &out, std::uint64_t value, int width)
{
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    const auto digits = static_cast<int>(result.ptr - buf);
    out.append(static_cast<std::size_t>(std::max(0, width - digits)), '0');
    out.append(buf, result.ptr);
}

void appendDate(std::string &out, int year, int month, int day, bool withTime)
{
    appendPadded(out, static_cast<std::uint64_t>(year), 4);
    appendPadded(out, static_cast<std::uint64_t>(month), 2);
    appendPadded(out, static_cast<std::uint64_t>(day), 2);
    if (withTime)
        out += "T00:00:00000";
}

// --- the plan of rows -----------------------------------------------------------------------------

struct RowKey {
    std::uint32_t invoice = 0;
    std::uint32_t position = 0; // 0 on an invoice row
    std::uint32_t transfer = 0; // 0 on invoice and position rows
    std::uint32_t transferCount = 0; // on a position: how many transfers it has
};

struct Record {
    std::uint32_t row;  // index into the visible rows
    std::uint8_t version;
    std::uint8_t state;
};

struct ChangeTriple {
    std::uint32_t record; // 1-based
    std::uint32_t previous;
    std::uint32_t action;
};

std::vector<RowKey> planRows(const DeclarationOptions &options)
{
    Random random(mix(options.seed) ^ 0x51ED);
    const int positionsMean = std::max(1, options.positionsPerInvoice);
    const int transfersMean = std::clamp(options.transfersPerPosition, 0, 49);
    const bool byRows = options.rows > 0;
    const std::size_t invoiceLimit = std::min<std::size_t>(byRows ? 999999 : options.invoices, 999999);

    std::vector<RowKey> rows;
    if (byRows)
        rows.reserve(options.rows);
    auto full = [&] { return byRows && rows.size() >= options.rows; };
    for (std::uint32_t invoice = 1; invoice <= invoiceLimit && !full(); ++invoice) {
        rows.push_back({invoice, 0, 0, 0});
        const auto positions = 1 + random.below(static_cast<std::uint64_t>(2 * positionsMean - 1));
        for (std::uint32_t position = 1; position <= positions && !full(); ++position) {
            const auto positionIndex = rows.size();
            rows.push_back({invoice, position, 0, 0});
            const auto transfers = random.below(static_cast<std::uint64_t>(2 * transfersMean + 1));
            std::uint32_t transfer = 1;
            for (; transfer <= transfers && !full(); ++transfer)
                rows.push_back({invoice, position, transfer, 0});
            // Transfers carry their position's count too, so either kind can rebuild the position's facts.
            for (auto i = positionIndex; i < rows.size(); ++i)
                rows[i].transferCount = transfer - 1;
        }
    }
    return rows;
}

// --- writing rows ---------------------------------------------------------------------------------

class PacketWriter final {
public:
    PacketWriter(const DeclarationOptions &options, std::string &out) : m_options(options), m_out(out)
    {
        const bool engine = options.engineStyle;
        for (const auto &kind : kKinds)
            for (const auto &brand : kBrands)
                for (const auto &tail : kProductTails)
                    for (int ml : kind.packageMl) {
                        std::string name = std::string(kind.word) + " \"" + std::string(brand) + "\""
                            + std::string(tail) + " " + litres(ml);
                        m_products.push_back({fileText(name, engine), &kind, ml});
                    }
        for (const auto &form : kCompanyForms)
            for (const auto &name : kCompanyNames)
                m_suppliers.push_back(fileText(std::string(form) + " \"" + std::string(name) + "\"", engine));
        for (const auto &producer : kProducers)
            m_producers.push_back(fileText(producer, engine));
        for (const auto &city : kCities)
            for (const auto &street : kStreets) {
                std::string address = std::string(city) + ", " + std::string(street);
                m_addresses.push_back(fileText(address, engine));
                // Engine files meet addresses typed over two lines.
                m_addresses.push_back(fileText(address + (engine ? ",\r\nсклад № 2" : ", склад № 2"), engine));
            }
        const std::string stem = options.inn + twoDigits(options.year % 100) + twoDigits(options.month) + "00";
        m_keyStem = stem;
        for (int i = 0; i < std::max(2, options.departments); ++i)
            m_departments.push_back(options.numberedDepartments ? std::to_string(i + 1)
                                                                : DeclarationGenerator::departmentCode(options.inn, i));
        m_version = fileText("Версия 1.0.0.0", engine);
    }

    void writeRecord(const RowKey &key, unsigned version, unsigned state, bool writeState)
    {
        m_out += "<ROW";
        if (writeState) {
            m_out += " RowState=\"";
            appendInt(m_out, state);
            m_out += '"';
        }
        if (key.position == 0)
            writeInvoice(key, version);
        else if (key.transfer == 0)
            writePosition(key, version);
        else
            writeTransfer(key, version);
        m_out += "/>";
    }

private:
    struct Product {
        std::string text;
        const Kind *kind;
        int packageMl;
    };

    // Everything a position and its transfers agree on, as a pure function of the key.
    struct PositionFacts {
        const Product *product;
        std::uint64_t hash;
        int alcohol;
        int region;
        int priceKopecks;
        int markupKopecks;
        std::int64_t packages;
        std::int64_t restPackages;
        std::int64_t buyerReturns;
        std::int64_t otherComing;
        std::int64_t transferred;
    };

    static std::string twoDigits(int v)
    {
        std::string s;
        appendPadded(s, static_cast<std::uint64_t>(v), 2);
        return s;
    }

    static std::string litres(int ml)
    {
        std::string s = std::to_string(ml / 1000);
        if (ml % 1000) {
            std::string fraction = std::to_string(1000 + ml % 1000).substr(1);
            while (fraction.back() == '0')
                fraction.pop_back();
            s += "," + fraction;
        }
        return s + " л";
    }

    std::uint64_t hashOf(const RowKey &key, unsigned salt) const
    {
        return mix(m_options.seed * 0x2545F4914F6CDD1Dull
                   ^ mix((std::uint64_t(key.invoice) << 28) ^ (std::uint64_t(key.position) << 8) ^ key.transfer
                         ^ (std::uint64_t(salt) << 52)));
    }

    void attribute(Column column)
    {
        m_out += ' ';
        m_out += kColumns[column].name;
        m_out += "=\"";
    }
    void text(Column column, std::string_view fileBytes)
    {
        attribute(column);
        m_out += fileBytes;
        m_out += '"';
    }
    void integer(Column column, std::int64_t value)
    {
        attribute(column);
        appendInt(m_out, value);
        m_out += '"';
    }
    void fixed(Column column, std::int64_t units, int decimals)
    {
        attribute(column);
        appendFixed(m_out, units, decimals);
        m_out += '"';
    }
    void litresOf(Column column, std::int64_t millilitres) { fixed(column, millilitres, 3); }
    void date(Column column, int year, int month, int day)
    {
        attribute(column);
        appendDate(m_out, year, month, day, m_options.engineStyle);
        m_out += '"';
    }
    void key(const RowKey &key)
    {
        attribute(DKey);
        m_out += m_keyStem;
        appendPadded(m_out, key.invoice, 6);
        appendPadded(m_out, key.position, 6);
        appendPadded(m_out, key.transfer, 2);
        m_out += '"';
    }

    int periodDay(std::uint64_t h) const { return 1 + static_cast<int>(h % 28); }

    void invoiceHead(const RowKey &key, bool copied)
    {
        const RowKey invoice{key.invoice, 0, 0, 0};
        const auto h = hashOf(invoice, 1);
        text(SupplyName, m_suppliers[h % m_suppliers.size()]);
        if (!copied) {
            std::string license;
            static constexpr std::array<std::string_view, 4> series = {"А", "Б", "РА", "В"};
            license = fileText(std::string(series[(h >> 8) % series.size()]) + " "
                                   + std::to_string(100000 + (h >> 12) % 900000) + " № "
                                   + std::to_string(1000000 + (h >> 32) % 9000000).substr(1),
                               m_options.engineStyle);
            text(License, license);
            date(LicenseDate, 2006 + static_cast<int>((h >> 20) % 6), 1 + static_cast<int>((h >> 24) % 12),
                 periodDay(h >> 28));
        }
        std::string ttn;
        static constexpr std::array<std::string_view, 4> prefixes = {"", "ТН-", "НК/", "ТТН № "};
        ttn = std::string(prefixes[(h >> 36) % prefixes.size()]) + std::to_string(1 + (h >> 40) % 99999);
        text(TtnNumer, fileText(ttn, m_options.engineStyle));
        date(TtnDate, m_options.year, m_options.month, periodDay(h >> 44));
    }

    std::string_view department(std::uint64_t h) const { return m_departments[h % m_departments.size()]; }

    void writeInvoice(const RowKey &row, unsigned version)
    {
        key(row);
        const auto h = hashOf(row, 1);
        const auto v = hashOf(row, 100 + version);
        invoiceHead(row, false);
        text(LoadingAddress, m_addresses[(version ? v : h >> 4) % m_addresses.size()]);
        text(DepartmentCode, department(h >> 50));
        if (row.invoice == 1)
            text(Version, m_version);
    }

    PositionFacts positionFacts(const RowKey &row) const
    {
        const RowKey position{row.invoice, row.position, 0, 0};
        PositionFacts f{};
        f.hash = hashOf(position, 2);
        const auto h = f.hash;
        f.product = &m_products[h % m_products.size()];
        const Kind &kind = *f.product->kind;
        f.alcohol = kind.alcoholMin + static_cast<int>((h >> 10) % static_cast<std::uint64_t>(kind.alcoholMax - kind.alcoholMin + 1));
        f.alcohol -= f.alcohol % 10;
        f.region = kRegions[(h >> 16) % kRegions.size()];
        const int base = kind.priceMin + static_cast<int>((h >> 20) % static_cast<std::uint64_t>(kind.priceMax - kind.priceMin + 1));
        f.priceKopecks = (base * f.product->packageMl / 500) * 100 + static_cast<int>((h >> 30) % 10) * 10;
        f.markupKopecks = f.priceKopecks * (120 + static_cast<int>((h >> 34) % 40)) / 100 / 10 * 10;
        f.packages = 6 * (1 + static_cast<std::int64_t>((h >> 40) % 60));
        f.restPackages = (h >> 46) % 3 == 0 ? static_cast<std::int64_t>((h >> 48) % 40) : 0;
        f.buyerReturns = (h >> 54) % 30 == 0 ? 1 : 0;
        f.otherComing = (h >> 58) % 20 == 0 ? 6 : 0;
        for (std::uint32_t t = 1; t <= row.transferCount; ++t)
            f.transferred += transferPackages(RowKey{row.invoice, row.position, t, 0});
        f.packages = std::max(f.packages, f.transferred + 6);
        return f;
    }

    std::int64_t transferPackages(const RowKey &transfer) const
    {
        return 1 + static_cast<std::int64_t>(hashOf(transfer, 3) % 12);
    }

    void productColumns(const PositionFacts &f)
    {
        text(ProductionName, f.product->text);
        const auto h = f.hash;
        std::string made;
        const int month = m_options.month;
        const int year = m_options.year - (month == 1 ? 1 : 0);
        const int madeMonth = month == 1 ? 12 : month - 1;
        auto dateText = [&](std::uint64_t x) {
            return twoDigits(1 + static_cast<int>(x % 28)) + "." + twoDigits(madeMonth) + "." + std::to_string(year);
        };
        made = dateText(h >> 3);
        if ((h >> 7) % 3 == 0)
            made += ", " + dateText(h >> 13);
        text(ProductionNumber, made);
        integer(ProductionCode, f.product->kind->code);
        text(ProducerName, m_producers[(h >> 5) % m_producers.size()]);
        integer(RegionCode, f.region);
    }

    void writePosition(const RowKey &row, unsigned version)
    {
        key(row);
        const PositionFacts f = positionFacts(row);
        const auto ml = f.product->packageMl;
        const auto v = hashOf(row, 200 + version);
        invoiceHead(row, true);
        productColumns(f);
        text(DepartmentCode, department(hashOf(RowKey{row.invoice, 0, 0, 0}, 1) >> 50));
        litresOf(ReturnVolume, f.buyerReturns * ml);
        litresOf(OtherComing, f.otherComing * ml);
        fixed(Alcohol, f.alcohol, 2);
        litresOf(PackageVolume, ml);
        integer(PackageCount, f.packages);
        litresOf(Volume, f.packages * ml);
        fixed(PurchesPrice, f.priceKopecks, 2);
        fixed(SumComing, (f.packages * f.priceKopecks + 50) / 100, 3);
        litresOf(RestVolume, f.restPackages * ml);
        const std::int64_t available = f.restPackages + f.packages + f.buyerReturns + f.otherComing - f.transferred;
        const std::int64_t sold = available * (30 + static_cast<std::int64_t>(v % 66)) / 100;
        const std::int64_t returned = (v >> 8) % 50 == 0 && available - sold > 0 ? 1 : 0;
        const std::int64_t writtenOff = (v >> 16) % 50 == 0 && available - sold - returned > 0 ? 1 : 0;
        integer(PackageCountCharges, sold);
        litresOf(VolumeCharges, sold * ml);
        fixed(Markup, f.markupKopecks, 2);
        fixed(SumCharges, (sold * f.markupKopecks + 50) / 100, 3);
        litresOf(ReturnVolumeCharges, returned * ml);
        litresOf(WriteoffVolumeCharges, writtenOff * ml);
        litresOf(OtherCharges, f.transferred * ml);
        text(DepartmentCodeInnerCharges, "0");
        litresOf(Rest, (available - sold - returned - writtenOff) * ml);
    }

    void writeTransfer(const RowKey &row, unsigned version)
    {
        key(row);
        const RowKey position{row.invoice, row.position, 0, row.transferCount};
        const PositionFacts f = positionFacts(position);
        const auto ml = f.product->packageMl;
        const auto h = hashOf(row, 3);
        const auto v = hashOf(row, 300 + version);
        const auto from = department(hashOf(RowKey{row.invoice, 0, 0, 0}, 1) >> 50);
        auto to = department(h >> 20);
        if (to == from)
            to = department((h >> 20) + 1);
        productColumns(f);
        text(DepartmentCode, to);
        const std::int64_t brought = transferPackages(row);
        litresOf(OtherComing, brought * ml);
        text(DepartmentCodeInner, from);
        fixed(Alcohol, f.alcohol, 2);
        litresOf(PackageVolume, ml);
        const std::int64_t rest = (h >> 30) % 10 == 0 ? static_cast<std::int64_t>((h >> 34) % 12) : 0;
        litresOf(RestVolume, rest * ml);
        const std::int64_t sold = (brought + rest) * static_cast<std::int64_t>(v % 101) / 100;
        integer(PackageCountCharges, sold);
        litresOf(VolumeCharges, sold * ml);
        fixed(Markup, f.markupKopecks, 2);
        fixed(SumCharges, (sold * f.markupKopecks + 50) / 100, 3);
        litresOf(ReturnVolumeCharges, 0);
        litresOf(WriteoffVolumeCharges, 0);
        litresOf(Rest, (brought + rest - sold) * ml);
    }

    const DeclarationOptions &m_options;
    std::string &m_out;
    std::vector<Product> m_products;
    std::vector<std::string> m_suppliers;
    std::vector<std::string> m_producers;
    std::vector<std::string> m_addresses;
    std::vector<std::string> m_departments;
    std::string m_version;
    std::string m_keyStem;
};

// The engine's history of a session: carried rows (no RowState), rows entered since (4), edits that hide
// the old version and append the new one, rows entered and deleted again, carried rows deleted.
void planEngineHistory(const std::vector<RowKey> &rows, std::uint64_t seed, std::vector<Record> &records,
                       std::vector<ChangeTriple> &log)
{
    Random random(mix(seed) ^ 0xE61E);
    const std::size_t carried = rows.size() / 2;
    std::vector<std::uint32_t> current(rows.size());
    std::vector<std::uint32_t> carriedTwins;
    records.reserve(rows.size() + rows.size() / 10);
    for (std::uint32_t i = 0; i < rows.size(); ++i) {
        // At least one carried row is deleted, so that even a small file shows every kind of record.
        if (i < carried && (random.below(250) == 0 || i == carried / 2)) {
            carriedTwins.push_back(static_cast<std::uint32_t>(records.size()));
            records.push_back({i, 9, 0});
        }
        current[i] = static_cast<std::uint32_t>(records.size());
        const bool inserted = i >= carried;
        records.push_back({i, 0, static_cast<std::uint8_t>(inserted ? 4 : 0)});
        if (inserted)
            log.push_back({current[i] + 1, 0, 4});
    }
    if (rows.empty())
        return;

    enum Event : std::uint8_t { Modify, InsertAndDelete, DeleteCarried };
    std::vector<Event> events;
    events.insert(events.end(), std::max<std::size_t>(1, rows.size() * 6 / 100), Modify);
    events.insert(events.end(), std::max<std::size_t>(1, rows.size() / 100), InsertAndDelete);
    events.insert(events.end(), carriedTwins.size(), DeleteCarried);
    for (std::size_t i = events.size(); i > 1; --i)
        std::swap(events[i - 1], events[random.below(i)]);

    std::vector<std::uint32_t> pendingDeletes;
    std::size_t nextTwin = 0;
    auto append = [&](Record record) {
        records.push_back(record);
        return static_cast<std::uint32_t>(records.size() - 1);
    };
    for (Event event : events) {
        switch (event) {
        case Modify: {
            const auto row = static_cast<std::uint32_t>(random.below(rows.size()));
            const auto old = current[row];
            Record &previous = records[old];
            const auto version = static_cast<std::uint8_t>(std::min(previous.version + 1, 8));
            const auto state = static_cast<std::uint8_t>((previous.state & 4) ? 12 : 8);
            previous.state |= 1;
            current[row] = append({row, version, state});
            log.push_back({current[row] + 1, old + 1, 8});
            break;
        }
        case InsertAndDelete: {
            const auto row = static_cast<std::uint32_t>(random.below(rows.size()));
            const auto record = append({row, 7, 4});
            log.push_back({record + 1, 0, 4});
            pendingDeletes.push_back(record);
            break;
        }
        case DeleteCarried: {
            const auto record = carriedTwins[nextTwin++];
            records[record].state |= 2;
            log.push_back({record + 1, 0, 2});
            break;
        }
        }
        if (!pendingDeletes.empty() && random.chance(50)) {
            const auto record = pendingDeletes.back();
            pendingDeletes.pop_back();
            records[record].state |= 2;
            log.push_back({record + 1, 0, 2});
        }
    }
    for (auto record : pendingDeletes) {
        records[record].state |= 2;
        log.push_back({record + 1, 0, 2});
    }
}

void generatePacket(const DeclarationOptions &options, std::string &out,
                    const std::function<void(std::string &)> &flush, DeclarationSummary *summary)
{
    const std::vector<RowKey> rows = planRows(options);
    std::vector<Record> records;
    std::vector<ChangeTriple> log;
    if (options.engineStyle) {
        planEngineHistory(rows, options.seed, records, log);
    } else {
        records.reserve(rows.size());
        for (std::uint32_t i = 0; i < rows.size(); ++i)
            records.push_back({i, 0, 4});
    }

    const bool engine = options.engineStyle;
    const std::string_view eol = engine ? "" : "\r\n";
    const std::string_view fieldEnd = engine ? "/>" : " />";
    out += "<?xml version=\"1.0\" standalone=\"yes\"?>";
    out += engine ? "  " : "\r\n";
    out += "<DATAPACKET Version=\"2.0\">";
    out += eol;
    out += "<METADATA>";
    out += eol;
    out += "<FIELDS>";
    out += eol;
    for (const auto &column : kColumns) {
        out += "<FIELD attrname=\"";
        out += column.name;
        out += "\" ";
        out += column.definition;
        out += fieldEnd;
        out += eol;
    }
    out += "</FIELDS>";
    out += eol;
    if (engine) {
        out += "<PARAMS";
        if (!log.empty()) {
            out += " CHANGE_LOG=\"";
            for (std::size_t i = 0; i < log.size(); ++i) {
                if (i)
                    out += ' ';
                appendInt(out, log[i].record);
                out += ' ';
                appendInt(out, log[i].previous);
                out += ' ';
                appendInt(out, log[i].action);
            }
            out += '"';
        }
        out += " LCID=\"1049\"/>";
    }
    out += "</METADATA>";
    out += eol;
    out += "<ROWDATA>";
    out += eol;

    PacketWriter writer(options, out);
    std::size_t hidden = 0;
    for (const Record &record : records) {
        // Carried rows of an engine file have no RowState at all.
        writer.writeRecord(rows[record.row], record.version, record.state, record.state != 0 || !engine);
        out += eol;
        if ((record.state & 35) != 0)
            ++hidden;
        if (flush && out.size() >= (1u << 20))
            flush(out);
    }
    out += "</ROWDATA>";
    out += eol;
    out += "</DATAPACKET>";
    out += engine ? "" : "\r\n";

    if (summary) {
        *summary = DeclarationSummary{};
        for (const RowKey &row : rows) {
            if (row.position == 0)
                ++summary->invoices;
            else if (row.transfer == 0)
                ++summary->positions;
            else
                ++summary->transfers;
        }
        summary->records = records.size();
        summary->hiddenRecords = hidden;
        summary->changeLogEntries = log.size();
    }
}

} // namespace

DeclarationGenerator::DeclarationGenerator(DeclarationOptions options) : m_options(std::move(options))
{
    m_options.inn.resize(12, '0');
    m_options.month = std::clamp(m_options.month, 1, 12);
}

std::string DeclarationGenerator::generate(DeclarationSummary *summary) const
{
    std::string out;
    out.reserve(std::max<std::size_t>(m_options.rows, m_options.invoices * 8) * 600 + 8192);
    generatePacket(m_options, out, nullptr, summary);
    if (summary)
        summary->bytes = out.size();
    return out;
}

void DeclarationGenerator::saveFile(const QString &path, DeclarationSummary *summary) const
{
    AtomicFile file(path);
    std::string buffer;
    buffer.reserve(2u << 20);
    std::size_t written = 0;
    auto flush = [&](std::string &bytes) {
        file.write(std::string_view(bytes));
        written += bytes.size();
        bytes.clear();
    };
    generatePacket(m_options, buffer, flush, summary);
    flush(buffer);
    file.commit();
    if (summary)
        summary->bytes = written;
}

bool DeclarationGenerator::writeFile(const std::string &path, DeclarationSummary *summary) const
{
    try {
        saveFile(QString::fromStdString(path), summary);
        return true;
    } catch (const KalvorError &) {
        return false;
    }
}

std::string DeclarationGenerator::departmentCode(const std::string &inn, int index)
{
    return inn.substr(0, 4) + "0" + std::to_string(index + 1) + "00" + std::to_string(index + 1);
}

} // namespace kalvor
