#pragma once

class QCoreApplication;

namespace kalvor::gui {

// Qt's own texts in Russian (standard buttons, the file and folder choosers): Qt's translation file and
// the few texts it lacks (the file type column of the folder chooser says "Folder" otherwise). Both live
// as long as the application.
void installRussianTranslations(QCoreApplication &app);

} // namespace kalvor::gui
