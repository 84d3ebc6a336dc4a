#include "platform/dossiers_utilisateur.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace korvan {

QString DossierPersonnel()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

namespace {

QString sousDossierDonnees(const QString& nom)
{
    const QString donnees = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return donnees.isEmpty() ? QString() : donnees + u'/' + nom;
}

} // namespace

QString dossierApplicationsUtilisateur()
{
    return sousDossierDonnees(QStringLiteral("applications"));
}

QString corbeilleUtilisateur()
{
    return sousDossierDonnees(QStringLiteral("Trash"));
}

} // namespace korvan
