#include "platform/ouverture_externe.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace korvan {

bool OuvreurSysteme::ouvrirAvecBureau(const QString& chemin)
{
    if (chemin.isEmpty())
        return false;
    // QDesktopServices needs the GUI platform; command-line tools run without it.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QDesktopServices::openUrl(QUrl::fromLocalFile(chemin));
    return QProcess::startDetached(QStringLiteral("xdg-open"), {chemin});
}

bool OuvreurSysteme::demarrerProgramme(const QString& programme, const QStringList& arguments)
{
    if (programme.isEmpty())
        return false;
    QProcess processus;
    processus.setProgram(programme);
    processus.setArguments(arguments);
    processus.setWorkingDirectory(QFileInfo(programme).absolutePath());
    return processus.startDetached();
}

OuvreurExterne& ouvreurSysteme()
{
    static OuvreurSysteme ouvreur;
    return ouvreur;
}

} // namespace korvan
