#pragma once

#include "sheets/SheetLayout.h"

#include <QByteArray>

#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace kalvor::sheets {

// The cell styles of a workbook (its styles part): read into neutral formats, and extended with the
// styles an export needs beyond the template's (a cell style with another font colour, a date format).
// Deriving is safe from several threads at once.
class XlsxStyles final {
public:
    XlsxStyles(); // a workbook without a styles part: one default style, nothing can be derived
    // Throws KalvorError (naming `displayName`) when the part is not XML.
    XlsxStyles(const QByteArray &part, const QString &displayName);
    ~XlsxStyles();
    XlsxStyles(XlsxStyles &&) noexcept;
    XlsxStyles &operator=(XlsxStyles &&) noexcept;

    // One format per cell style (the `s` of a cell), in order.
    const std::vector<CellFormat> &formats() const { return m_formats; }
    bool isDateStyle(int style) const;

    // A style like `style` whose font has this colour / whose number format shows a date.
    int withFontColour(int style, Rgb colour);
    int withDateFormat(int style);
    // Whether anything was derived, and the styles part with the derived styles added.
    bool changed() const;
    QByteArray part() const;

private:
    struct Document;
    int derive(std::pair<int, std::uint64_t> key, bool colour, Rgb value);

    std::unique_ptr<Document> m_doc;
    std::vector<CellFormat> m_formats;
    std::vector<bool> m_dateStyles;
    std::map<std::pair<int, std::uint64_t>, int> m_derived;
    std::unique_ptr<std::mutex> m_mutex = std::make_unique<std::mutex>();
};

// Whether a number format code shows a date (d, m or y outside quotes and brackets).
bool isDateFormatCode(QStringView code);

} // namespace kalvor::sheets
