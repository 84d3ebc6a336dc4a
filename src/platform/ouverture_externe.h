#pragma once
// Handing files to other programs of the desktop: the folder to the file
// manager, a clip to the user's default player, a clip to a named program.
#include <QString>
#include <QStringList>

namespace korvan {

class OuvreurExterne {
public:
    virtual ~OuvreurExterne() = default;
    // Opens a file or a folder with the program the desktop associates with it.
    virtual bool ouvrirAvecBureau(const QString& chemin) = 0;
    // Starts a program with its arguments, each handed over whole (a path
    // with spaces stays one argument), without waiting for it.
    virtual bool demarrerProgramme(const QString& programme, const QStringList& arguments) = 0;
};

// The desktop's own: QDesktopServices under a GUI application, xdg-open
// otherwise; QProcess for programs.
class OuvreurSysteme : public OuvreurExterne {
public:
    bool ouvrirAvecBureau(const QString& chemin) override;
    bool demarrerProgramme(const QString& programme, const QStringList& arguments) override;
};

// The process-wide opener.
OuvreurExterne& ouvreurSysteme();

} // namespace korvan
