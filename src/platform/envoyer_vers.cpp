#include "platform/envoyer_vers.h"

#include "platform/dossiers_utilisateur.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace korvan {

namespace {

// Every name under which shared-mime-info knows an AVI file, so that file
// managers offer the entry whichever one their database reports.
const char* const typesMimeAvi = "video/vnd.avi;video/x-msvideo;video/avi;video/msvideo;";

bool contientControle(const QString& texte)
{
    for (const QChar c : texte)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}

// String values of a desktop entry escape the backslash (\\); the values we
// write never hold the other escapable characters (checked by the caller).
QString valeurTexte(const QString& texte)
{
    QString v = texte;
    v.replace(u'\\', QStringLiteral("\\\\"));
    return v;
}

// One argument of an Exec line: always quoted, with the characters that stay
// special inside quotes escaped, and a literal % doubled (field codes).
QString argumentExec(const QString& argument)
{
    QString arg = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            arg += u'\\';
        if (c == u'%')
            arg += u'%';
        arg += c;
    }
    return arg + u'"';
}

} // namespace

QString texteEntreeBureau(const QString& nom, const QString& cible, const QString& dossierTravail,
                          const QString& description, bool horsMenus)
{
    if (nom.isEmpty() || cible.isEmpty() || !QDir::isAbsolutePath(cible))
        return {};
    if (contientControle(nom) || contientControle(cible) || contientControle(dossierTravail)
        || contientControle(description))
        return {};

    QString texte = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Version=1.4\n");
    texte += QStringLiteral("Name=") + valeurTexte(nom) + u'\n';
    if (!description.isEmpty())
        texte += QStringLiteral("Comment=") + valeurTexte(description) + u'\n';
    texte += QStringLiteral("TryExec=") + valeurTexte(cible) + u'\n';
    texte += QStringLiteral("Exec=") + valeurTexte(argumentExec(cible) + QStringLiteral(" %F")) + u'\n';
    if (!dossierTravail.isEmpty())
        texte += QStringLiteral("Path=") + valeurTexte(dossierTravail) + u'\n';
    texte += QStringLiteral("Terminal=false\n"
                            "MimeType=") + QLatin1String(typesMimeAvi) + u'\n';
    texte += QStringLiteral("Categories=AudioVideo;Video;\n");
    if (horsMenus)
        texte += QStringLiteral("NoDisplay=true\n");
    return texte;
}

bool CreerRaccourci(const QString& cheminLien, const QString& cible, const QString& dossierTravail,
                    const QString& description, bool horsMenus)
{
    const QFileInfo lien(cheminLien);
    const QString texte = texteEntreeBureau(lien.completeBaseName(), cible, dossierTravail, description, horsMenus);
    if (texte.isEmpty() || cheminLien.isEmpty())
        return false;
    if (!QDir().mkpath(lien.absolutePath()))
        return false;
    QSaveFile fichier(cheminLien);
    if (!fichier.open(QIODevice::WriteOnly))
        return false;
    const QByteArray octets = texte.toUtf8();
    if (fichier.write(octets) != octets.size()) {
        fichier.cancelWriting();
        return false;
    }
    return fichier.commit();
}

QString cheminRaccourciEnvoyerVers(const QString& nom, const QString& dossierApplications)
{
    if (nom.isEmpty() || nom.contains(u'/') || nom == u"." || nom == u".." || dossierApplications.isEmpty())
        return {};
    return dossierApplications + u'/' + nom + QStringLiteral(".desktop");
}

bool CreerRaccourciEnvoyerVers(const QString& nom, const QString& dossierApplications,
                               const QString& programme)
{
    const QString lien = cheminRaccourciEnvoyerVers(nom, dossierApplications);
    if (lien.isEmpty())
        return false;
    // No working folder: launched programs start in the home folder.
    return CreerRaccourci(lien, programme, QString(), QStringLiteral("Raccourci vers ") + nom,
                          entreeApplicationInstallee(programme));
}

bool entreeApplicationInstallee(const QString& programme)
{
    // <prefix>/bin/korvan beside <prefix>/share/applications/korvan.desktop.
    const QDir prefixe = QFileInfo(QFileInfo(programme).absolutePath()).dir();
    const QString installee = prefixe.filePath(QStringLiteral("share/applications/") + QFileInfo(programme).fileName()
                                               + QStringLiteral(".desktop"));
    return QFileInfo(installee).isFile();
}

bool CreerRaccourciEnvoyerVers(const QString& nom)
{
    return CreerRaccourciEnvoyerVers(nom, dossierApplicationsUtilisateur(),
                                     QCoreApplication::applicationFilePath());
}

bool SupprimerRaccourciEnvoyerVers(const QString& nom, const QString& dossierApplications)
{
    const QString lien = cheminRaccourciEnvoyerVers(nom, dossierApplications);
    if (lien.isEmpty())
        return false;
    const QFileInfo info(lien);
    if (!info.exists() && !info.isSymLink())
        return true;
    return QFile::remove(lien);
}

bool SupprimerRaccourciEnvoyerVers(const QString& nom)
{
    return SupprimerRaccourciEnvoyerVers(nom, dossierApplicationsUtilisateur());
}

} // namespace korvan
