#pragma once

#include "sheets/print/SheetPrintout.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace kalvor::gui {

// Asks for the name of a PDF file to write, `suggested` first; empty when the user gave none.
using PdfFileAsker = std::function<QString(QWidget *parent, const QString &suggested)>;
PdfFileAsker pdfFileDialog();

class PageView;

// "Предварительный просмотр": one page of a printout at a time, drawn only when shown, so that a
// declaration of thousands of pages opens at once. Pages are turned with the page box, PgUp/PgDn and the
// wheel at the page's end; "Печать…" asks for a printer and prints, "Сохранить в PDF…" writes a file,
// both behind a progress window with "Отмена".
class SheetPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    SheetPreviewDialog(std::unique_ptr<sheets::print::SheetPrintout> printout, QString title, QString suggestedPdf,
                       PdfFileAsker askPdfFile, QWidget *parent = nullptr);
    ~SheetPreviewDialog() override;

    QSpinBox *PageNumber = nullptr;
    QLabel *PageCount = nullptr;
    QComboBox *Zoom = nullptr;
    QPushButton *PrintButton = nullptr;
    QPushButton *PdfButton = nullptr;
    QPushButton *CloseButton = nullptr;

    void PrintButtonClick();
    void PdfButtonClick();
    const sheets::print::SheetPrintout &printout() const { return *m_printout; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override; // "По ширине" follows the window

private:
    void turnTo(int page);
    void zoomChanged();

    std::unique_ptr<sheets::print::SheetPrintout> m_printout;
    QString m_title;
    QString m_suggestedPdf;
    PdfFileAsker m_askPdfFile;
    QScrollArea *m_scroll = nullptr;
    PageView *m_view = nullptr;
};

// Writes a printout into a PDF file behind the progress window; shows where it went. False when
// cancelled or failed.
bool savePrintoutAsPdf(QWidget *parent, const sheets::print::SheetPrintout &printout, const QString &file,
                       const QString &title);

} // namespace kalvor::gui
