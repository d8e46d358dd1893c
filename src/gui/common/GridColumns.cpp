#include "gui/common/GridColumns.h"

#include "app/IniFile.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTableView>

#include <algorithm>

namespace kalvor::gui {

namespace {

const QString kSection = QStringLiteral("columns");
constexpr int kSampleRows = 50; // a period of 100,000 rows fits as fast as a small one
constexpr int kMinWidth = 40;

} // namespace

GridColumns::GridColumns(QTableView *view, QObject *parent) : QObject(parent), m_view(view)
{
    QHeaderView *header = view->horizontalHeader();
    header->setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    // Two lines of title.
    header->setMinimumHeight(2 * header->fontMetrics().lineSpacing() + 10);
    connect(header, &QHeaderView::sectionResized, this, &GridColumns::columnResized);
}

void GridColumns::setIniFile(IniFile *ini)
{
    m_ini = ini;
    m_userWidths.clear();
    if (m_ini == nullptr)
        return;
    const QString stored = m_ini->readString(kSection, m_view->objectName());
    for (const QString &entry : stored.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype at = entry.lastIndexOf(u'=');
        bool ok = false;
        const int width = at > 0 ? entry.mid(at + 1).toInt(&ok) : 0;
        if (ok && width >= kMinWidth)
            m_userWidths.insert(entry.left(at), width);
    }
}

QString GridColumns::title(int column) const
{
    return m_view->model() == nullptr ? QString()
                                      : m_view->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void GridColumns::fit()
{
    const QAbstractItemModel *model = m_view->model();
    if (model == nullptr)
        return;
    m_fitting = true;
    const QFontMetrics header(m_view->horizontalHeader()->font());
    const QFontMetrics cells(m_view->font());
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const int sample = std::min(model->rowCount(), kSampleRows);
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString text = title(c);
        if (const int user = m_userWidths.value(text)) {
            m_view->setColumnWidth(c, user);
            continue;
        }
        // The title may take two lines: the narrowest split of its words into two.
        const QStringList words = text.split(space, Qt::SkipEmptyParts);
        int titleWidth = header.horizontalAdvance(text);
        for (qsizetype i = 1; i < words.size(); ++i)
            titleWidth = std::min(titleWidth, std::max(header.horizontalAdvance(words.first(i).join(u' ')),
                                                       header.horizontalAdvance(words.sliced(i).join(u' '))));
        int width = titleWidth + 18;
        for (int r = 0; r < sample; ++r)
            width = std::max(width, cells.horizontalAdvance(model->index(r, c).data().toString()) + 16);
        m_view->setColumnWidth(c, std::clamp(width, kMinWidth, kMaxWidth));
    }
    m_fitting = false;
}

void GridColumns::columnResized(int column, int, int newWidth)
{
    // Only the user's dragging counts; the program's widths and a stretched last column do not.
    if (m_fitting || !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    setUserWidth(title(column), newWidth);
}

void GridColumns::setUserWidth(const QString &columnTitle, int width)
{
    if (columnTitle.isEmpty() || width < kMinWidth)
        return;
    m_userWidths.insert(columnTitle, width);
    if (m_ini == nullptr)
        return;
    QStringList entries;
    for (auto it = m_userWidths.cbegin(); it != m_userWidths.cend(); ++it)
        entries.append(it.key() + u'=' + QString::number(it.value()));
    entries.sort();
    m_ini->writeString(kSection, m_view->objectName(), entries.join(u';'));
}

} // namespace kalvor::gui
