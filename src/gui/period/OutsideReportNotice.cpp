#include "gui/period/OutsideReportNotice.h"

#include "app/OutsideReport.h"

#include <QDir>

namespace kalvor::gui {

OutsideReportNotice::OutsideReportNotice(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("OutsideReportNotice"));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    hide();
    connect(this, &QLabel::linkActivated, this, &OutsideReportNotice::backRequested);
}

QString OutsideReportNotice::follow(const TAppSettings &settings)
{
    const QString folder = outsideReportFolder(settings);
    if (folder.isEmpty()) {
        hide();
        return folder;
    }
    setText(QStringLiteral("<span style=\"color:#a04000\">Открыт отчет из папки %1</span> "
                           "<a href=\"back\">Вернуться к отчетам рабочей папки</a>")
                .arg(QDir::toNativeSeparators(folder).toHtmlEscaped()));
    setToolTip(QDir::toNativeSeparators(folder));
    show();
    return folder;
}

} // namespace kalvor::gui
