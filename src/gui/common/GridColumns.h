#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QTableView;

namespace kalvor {
class IniFile;
}

namespace kalvor::gui {

// Column widths of one grid. Each time the grid is filled its columns fit the first rows' values and
// the longest word of their titles, within a cap; titles wrap onto two lines rather than widen a column.
// A column the user sizes keeps that width: it is remembered per grid (by the grid's name and the
// column's title) in the configuration file's section [columns], so it holds after a restart too.
class GridColumns final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxWidth = 260;

    explicit GridColumns(QTableView *view, QObject *parent = nullptr);

    // The configuration file the user's widths are read from and written to; none before the start-up.
    void setIniFile(IniFile *ini);
    // Fits the columns the user has not sized and puts the user's widths on the others.
    void fit();
    // The width the user gave the column titled so; 0 when none.
    int userWidth(const QString &title) const { return m_userWidths.value(title); }
    // Keeps a width the user gave a column (dragging its border ends here) and remembers it.
    void setUserWidth(const QString &columnTitle, int width);

private:
    void columnResized(int column, int oldWidth, int newWidth);
    QString title(int column) const;

    QTableView *m_view;
    IniFile *m_ini = nullptr;
    QHash<QString, int> m_userWidths;
    bool m_fitting = false; // widths set by the program are not the user's
};

} // namespace kalvor::gui
