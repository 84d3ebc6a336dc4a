#pragma once
// Qt's own texts (file dialogs, standard buttons, the text fields' context
// menus) in French, like the rest of the program, whatever the desktop's
// language: Qt's translation catalogue as the system ships it.
class QCoreApplication;

namespace korvan {

// Installs Qt's French catalogue on the application; false when the system
// has none (the dialogs then stay in Qt's English, nothing else changes).
bool ChargerTraductionsQt(QCoreApplication& application);

} // namespace korvan
