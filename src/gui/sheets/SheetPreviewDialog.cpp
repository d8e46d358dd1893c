#include "gui/sheets/SheetPreviewDialog.h"

#include "gui/common/MessageBoxes.h"
#include "gui/sheets/PagesJob.h"
#include "sheets/print/PainterCanvas.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kalvor::gui {

using sheets::print::SheetPrintout;

PdfFileAsker pdfFileDialog()
{
    return [](QWidget *parent, const QString &suggested) {
        QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить в PDF"), suggested,
                                                    QStringLiteral("Файлы PDF (*.pdf)"));
        if (!file.isEmpty() && !file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            file += QStringLiteral(".pdf");
        return file;
    };
}

bool savePrintoutAsPdf(QWidget *parent, const SheetPrintout &printout, const QString &file, const QString &title)
{
    const bool written = runPagesJob(parent, QStringLiteral("Сохранение в PDF"),
                                     [&](const Progress &p) { return printout.writePdf(file, title, p); });
    if (written)
        MessageBoxes::information(parent, QStringLiteral("Файл %1 записан: страниц %2")
                                              .arg(QDir::toNativeSeparators(file))
                                              .arg(printout.pageCount()));
    return written;
}

// One page on white paper with a shadow-free grey margin, drawn at the zoom's scale.
class PageView final : public QWidget {
public:
    explicit PageView(const SheetPrintout &printout) : m_printout(printout) { setAttribute(Qt::WA_OpaquePaintEvent); }

    int page() const { return m_page; }
    void setPage(int page)
    {
        m_page = page;
        update();
    }
    // Points to pixels; the widget takes the paper's size at that scale.
    void setScale(double scale)
    {
        m_scale = scale;
        const QSizeF paper = m_printout.pages().setup().paper;
        setFixedSize(QSize(int(paper.width() * scale) + 2 * kMargin, int(paper.height() * scale) + 2 * kMargin));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Dark));
        const QSizeF paper = m_printout.pages().setup().paper;
        painter.translate(kMargin, kMargin);
        painter.scale(m_scale, m_scale);
        painter.fillRect(QRectF(QPointF(0, 0), paper), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        sheets::print::PainterCanvas canvas(painter, m_printout.pages().fonts());
        m_printout.pages().drawPage(m_page, canvas);
    }

private:
    static constexpr int kMargin = 12;
    const SheetPrintout &m_printout;
    int m_page = 0;
    double m_scale = 1;
};

SheetPreviewDialog::SheetPreviewDialog(std::unique_ptr<SheetPrintout> printout, QString title, QString suggestedPdf,
                                       PdfFileAsker askPdfFile, QWidget *parent)
    : QDialog(parent), m_printout(std::move(printout)), m_title(std::move(title)),
      m_suggestedPdf(std::move(suggestedPdf)), m_askPdfFile(std::move(askPdfFile))
{
    setObjectName(QStringLiteral("SheetPreviewDialog"));
    setWindowTitle(QStringLiteral("Предварительный просмотр — %1").arg(m_title));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    PageNumber = new QSpinBox;
    PageNumber->setObjectName(QStringLiteral("PageNumber"));
    PageNumber->setRange(1, m_printout->pageCount());
    PageCount = new QLabel(QStringLiteral("из %1").arg(m_printout->pageCount()));
    PageCount->setObjectName(QStringLiteral("PageCount"));
    Zoom = new QComboBox;
    Zoom->setObjectName(QStringLiteral("Zoom"));
    Zoom->addItem(QStringLiteral("По ширине"), 0.0);
    for (const int percent : {50, 75, 100, 150, 200})
        Zoom->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
    PrintButton = new QPushButton(QStringLiteral("Печать…"));
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PdfButton = new QPushButton(QStringLiteral("Сохранить в PDF…"));
    PdfButton->setObjectName(QStringLiteral("PdfButton"));
    CloseButton = new QPushButton(QStringLiteral("Закрыть"));
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton *b : {PrintButton, PdfButton, CloseButton})
        b->setAutoDefault(false);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Страница")));
    bar->addWidget(PageNumber);
    bar->addWidget(PageCount);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(QStringLiteral("Масштаб")));
    bar->addWidget(Zoom);
    bar->addStretch();
    bar->addWidget(PrintButton);
    bar->addWidget(PdfButton);
    bar->addWidget(CloseButton);

    m_view = new PageView(*m_printout);
    m_scroll = new QScrollArea;
    m_scroll->setObjectName(QStringLiteral("PageArea"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_view);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    resize(1100, 800);
    zoomChanged();

    connect(PageNumber, &QSpinBox::valueChanged, this, [this](int page) { turnTo(page - 1); });
    connect(Zoom, &QComboBox::currentIndexChanged, this, &SheetPreviewDialog::zoomChanged);
    connect(PrintButton, &QPushButton::clicked, this, &SheetPreviewDialog::PrintButtonClick);
    connect(PdfButton, &QPushButton::clicked, this, &SheetPreviewDialog::PdfButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

SheetPreviewDialog::~SheetPreviewDialog() = default;

void SheetPreviewDialog::turnTo(int page)
{
    page = std::clamp(page, 0, m_printout->pageCount() - 1);
    if (PageNumber->value() != page + 1)
        PageNumber->setValue(page + 1); // comes back here through valueChanged
    m_view->setPage(page);
    m_scroll->verticalScrollBar()->setValue(0);
}

void SheetPreviewDialog::zoomChanged()
{
    double scale = Zoom->currentData().toDouble() * 96.0 / 72.0;
    if (scale <= 0) {
        const double paper = m_printout->pages().setup().paper.width();
        const int scrollBar = m_scroll->verticalScrollBar()->sizeHint().width();
        scale = std::max(0.2, (m_scroll->width() - scrollBar - 40) / paper);
    }
    m_view->setScale(scale);
}

void SheetPreviewDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_PageDown)
        turnTo(m_view->page() + 1);
    else if (event->key() == Qt::Key_PageUp)
        turnTo(m_view->page() - 1);
    else if (event->key() == Qt::Key_Home && event->modifiers() & Qt::ControlModifier)
        turnTo(0);
    else if (event->key() == Qt::Key_End && event->modifiers() & Qt::ControlModifier)
        turnTo(m_printout->pageCount() - 1);
    else
        QDialog::keyPressEvent(event);
}

void SheetPreviewDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (Zoom->currentData().toDouble() <= 0)
        zoomChanged();
}

void SheetPreviewDialog::PrintButtonClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_title);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(m_printout->sheet().page().landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setFromTo(1, m_printout->pageCount());
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 0;
    int last = -1;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage() - 1;
        last = printer.toPage() - 1;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = m_view->page();
    }
    runPagesJob(this, QStringLiteral("Печать"), [&](const Progress &p) {
        return m_printout->print(
            printer, p, [&printer] { printer.abort(); }, first, last);
    });
}

void SheetPreviewDialog::PdfButtonClick()
{
    const QString file = m_askPdfFile(this, m_suggestedPdf);
    if (!file.isEmpty())
        savePrintoutAsPdf(this, *m_printout, file, m_title);
}

} // namespace kalvor::gui
