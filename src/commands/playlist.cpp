#include "commands/playlist.h"

#include "analysis/dateheure.h"
#include "platform/identite_programme.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "commands/liste_fichiers.h"

#include <QSaveFile>
#include <QStringList>

namespace korvan {

namespace {

const QString kLigneTirets = QStringLiteral("# ") + QString(61, QLatin1Char('-'));

} // namespace

QString TextePlaylist(const ListePrincipale& liste, const QString& formatAfficher)
{
    const int n = liste.nombre();
    const QString p = n >= 2 ? QStringLiteral("s") : QString();
    QStringList l;
    l << kLigneTirets << QStringLiteral("#")
      << Format("# Playlist de %s version %s %s", "Korvan", versionProgramme, "Fr") << QStringLiteral("#") << kLigneTirets
      << Format("# Visitez mon site web : %s", kAdresseSiteWeb) << QString();
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("     ") + liste.entree(i)->chemin;
    l << QString() << kLigneTirets
      << QStringLiteral("# ") + QString::number(n) + QStringLiteral(" fichier") + p + QStringLiteral(" trié") + p
            + PhrasePlaylist(liste.ordre())
      << QStringLiteral("# Fait le ") + FormatDateTime(formatAfficher, Maintenant());
    return l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString EcrirePlaylist(const QString& chemin, const ListePrincipale& liste, const QString& formatAfficher)
{
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly))
        return f.errorString();
    f.write(TextePlaylist(liste, formatAfficher).toUtf8());
    if (!f.commit())
        return f.errorString();
    return {};
}

} // namespace korvan
