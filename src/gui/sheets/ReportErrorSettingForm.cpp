#include "gui/sheets/ReportErrorSettingForm.h"

#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvor::gui {

namespace {

QLabel *note(const QString &text, const char *colour = nullptr)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    if (colour)
        label->setStyleSheet(QStringLiteral("color: %1;").arg(QString::fromLatin1(colour)));
    return label;
}

// One check: its box, what it looks for and the colour its rows get.
QGroupBox *checkGroup(QCheckBox *box, const QString &what, const QString &colourText, const char *colour)
{
    auto *group = new QGroupBox;
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(box);
    layout->addWidget(note(what));
    layout->addWidget(note(colourText, colour));
    return group;
}

QCheckBox *checkBox(const char *name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit *edit(const char *name, const QString &text)
{
    auto *e = new QLineEdit(text);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaximumWidth(80);
    return e;
}

} // namespace

TReportErrorSettingForm::TReportErrorSettingForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReportErrorSettingForm"));
    setWindowTitle(QStringLiteral("Настройки"));
    orderTabsWhenShown(this);

    Chk_TTN_DATE = checkBox("Chk_TTN_DATE", QStringLiteral("Проверить дату ТТН"));
    Chk_rest = checkBox("Chk_rest", QStringLiteral("Проверить остатки"));
    Chk_Production_Code = checkBox("Chk_Production_Code", QStringLiteral("Проверить код вида продукции"));
    Chk_empty = checkBox("Chk_empty", QStringLiteral("Проверить пустые поля"));
    Chk_vodka = checkBox("Chk_vodka", QStringLiteral("Водка <"));
    Chk_Koniyak = checkBox("Chk_Koniyak", QStringLiteral("Коньяк<"));
    CheckErrors = checkBox("CheckErrors", QStringLiteral("Показывать в главном окне"));
    Edit_Vodka = edit("Edit_Vodka", QStringLiteral("85,5"));
    Edit_Koniyak = edit("Edit_Koniyak", QStringLiteral("167"));
    Edit_RecCount = edit("Edit_RecCount", QStringLiteral("100"));
    for (QLineEdit *e : {Edit_Vodka, Edit_Koniyak, Edit_RecCount})
        e->installEventFilter(this);

    auto *checks = new QGridLayout;
    checks->addWidget(checkGroup(Chk_TTN_DATE, QStringLiteral("Дата ТТН не должна быть больше даты декларации"),
                                 QStringLiteral("Синиие ошибки"), "#0000FF"),
                      0, 0);
    checks->addWidget(checkGroup(Chk_rest, QStringLiteral("Остатки на конец месяца не могут быть отрицательными."),
                                 QStringLiteral("Красные ошибки"), "#FF0000"),
                      0, 1);
    checks->addWidget(checkGroup(Chk_Production_Code, QStringLiteral("Проверка на несуществующие коды продукции "),
                                 QStringLiteral("Коричневые ошибки"), "#808000"),
                      1, 0);
    checks->addWidget(checkGroup(Chk_empty, QStringLiteral("В отчете не должно быть пустых полей."),
                                 QStringLiteral("Фиолетовые ошибки"), "#FF00FF"),
                      1, 1);

    auto *prices = new QGroupBox(QStringLiteral("Проверить цены:"));
    auto *pricesLayout = new QGridLayout(prices);
    pricesLayout->addWidget(Chk_vodka, 0, 0);
    pricesLayout->addWidget(Edit_Vodka, 0, 1);
    pricesLayout->addWidget(Chk_Koniyak, 1, 0);
    pricesLayout->addWidget(Edit_Koniyak, 1, 1);
    pricesLayout->addWidget(note(QStringLiteral("Красные ошибки"), "#FF0000"), 2, 0, 1, 2);
    checks->addWidget(prices, 2, 0);

    auto *count = new QGroupBox;
    auto *countLayout = new QVBoxLayout(count);
    countLayout->addWidget(new QLabel(QStringLiteral("Макс кол-во записей: (только для Excel)")));
    countLayout->addWidget(Edit_RecCount);
    countLayout->addStretch();
    checks->addWidget(count, 2, 1);

    auto *mainWindow = new QGroupBox;
    auto *mainLayout = new QVBoxLayout(mainWindow);
    mainLayout->addWidget(CheckErrors);
    mainLayout->addWidget(note(QStringLiteral("Все ошибки красные")));
    checks->addWidget(mainWindow, 3, 0, 1, 2);

    auto *warning = new QLabel(QStringLiteral("Внимание!"));
    warning->setStyleSheet(QStringLiteral("font-weight: bold;"));

    BitBtn1 = new QPushButton(QStringLiteral("&Ok"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    Btn_Ok = new QPushButton(QStringLiteral("Выгрузить в Excel"));
    Btn_Ok->setObjectName(QStringLiteral("Btn_Ok"));
    Btn_Ok->setToolTip(QStringLiteral("Экспортировать ошибки в Excell"));
    Btn_Ok->setDefault(true);
    BitBtn1->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    Btn_Print = new QPushButton(QStringLiteral("Печать…"));
    Btn_Print->setObjectName(QStringLiteral("Btn_Print"));
    Btn_Print->setToolTip(QStringLiteral("Просмотр и печать отчета об ошибках"));
    Btn_Pdf = new QPushButton(QStringLiteral("Сохранить в PDF…"));
    Btn_Pdf->setObjectName(QStringLiteral("Btn_Pdf"));
    Btn_Pdf->setToolTip(QStringLiteral("Сохранить отчет об ошибках в файл PDF"));
    Btn_Print->setAutoDefault(false);
    Btn_Pdf->setAutoDefault(false);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(Btn_Print);
    buttons->addWidget(Btn_Pdf);
    buttons->addWidget(Btn_Ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(checks);
    layout->addWidget(warning);
    layout->addWidget(note(QStringLiteral("Если запись содержит сразу несколько ошибок, то она будет выделена цветом "
                                          "последней найденной ошибки.")));
    layout->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &TReportErrorSettingForm::BitBtn1Click);
    connect(Btn_Ok, &QPushButton::clicked, this, &TReportErrorSettingForm::Btn_OkClick);
    connect(Btn_Print, &QPushButton::clicked, this, [this] { finishWithReport(ResultPrint); });
    connect(Btn_Pdf, &QPushButton::clicked, this, [this] { finishWithReport(ResultPdf); });
}

void TReportErrorSettingForm::setHighlightOptions(const HighlightOptions &o)
{
    CheckErrors->setChecked(o.CheckErrors);
    Chk_rest->setChecked(o.Chk_rest);
    Chk_empty->setChecked(o.Chk_empty);
    Chk_TTN_DATE->setChecked(o.Chk_TTN_DATE);
    Chk_Production_Code->setChecked(o.Chk_Production_Code);
    Chk_vodka->setChecked(o.Chk_vodka);
    Chk_Koniyak->setChecked(o.Chk_Koniyak);
}

HighlightOptions TReportErrorSettingForm::highlightOptions() const
{
    return {
        CheckErrors->isChecked(),         Chk_rest->isChecked(),  Chk_empty->isChecked(),  Chk_TTN_DATE->isChecked(),
        Chk_Production_Code->isChecked(), Chk_vodka->isChecked(), Chk_Koniyak->isChecked()};
}

sheets::ErrorReportOptions TReportErrorSettingForm::reportOptions() const
{
    sheets::ErrorReportOptions o;
    o.rest = Chk_rest->isChecked();
    o.empty = Chk_empty->isChecked();
    o.ttnDate = Chk_TTN_DATE->isChecked();
    o.productionCode = Chk_Production_Code->isChecked();
    o.vodka = Chk_vodka->isChecked();
    o.cognac = Chk_Koniyak->isChecked();
    o.vodkaThreshold = sheets::readThreshold(Edit_Vodka->text()).value_or(o.vodkaThreshold);
    o.cognacThreshold = sheets::readThreshold(Edit_Koniyak->text()).value_or(o.cognacThreshold);
    o.maxRecords = sheets::readRecordCount(Edit_RecCount->text()).value_or(o.maxRecords);
    return o;
}

void TReportErrorSettingForm::Btn_OkClick()
{
    finishWithReport(ResultOk);
}

void TReportErrorSettingForm::finishWithReport(int result)
{
    if (!sheets::readRecordCount(Edit_RecCount->text())) {
        MessageBoxes::information(this, QString::fromUtf8(sheets::kRecordCountRefusal));
        Edit_RecCount->setFocus();
        return;
    }
    // A threshold that is not a number is named, and the dialog stays open for it to be mended.
    for (const auto &[box, field] :
         {std::pair{Edit_Vodka, QStringLiteral("Водка <")}, std::pair{Edit_Koniyak, QStringLiteral("Коньяк<")}}) {
        if (!sheets::readThreshold(box->text())) {
            MessageBoxes::information(this, sheets::thresholdRefusal(field, box->text()));
            box->setFocus();
            box->selectAll();
            return;
        }
    }
    done(result);
}

void TReportErrorSettingForm::BitBtn1Click()
{
    done(ResultYes);
}

bool TReportErrorSettingForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        // Keys that type nothing (arrows, Delete, Tab) and the dialog's Enter and Escape are not typing.
        const bool dialogKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                               key->key() == Qt::Key_Escape || key->key() == Qt::Key_Backspace;
        if (!text.isEmpty() && !dialogKey && text != u"," &&
            !(text.size() == 1 && text.front() >= u'0' && text.front() <= u'9'))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kalvor::gui
