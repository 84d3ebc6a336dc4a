#include "commands/playlist.h"

#include "analysis/dateheure.h"
#include "platform/identite_programme.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "commands/liste_fichiers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace korvan {

namespace {

const QString kLigneTirets = QStringLiteral("# ") + QString(61, QLatin1Char('-'));

// Blanks and control characters at both ends.
QString rogner(const QString& ligne)
{
    qsizetype debut = 0, fin = ligne.size();
    while (debut < fin && ligne[debut].unicode() <= 0x20)
        ++debut;
    while (fin > debut && ligne[fin - 1].unicode() <= 0x20)
        --fin;
    return ligne.mid(debut, fin - debut);
}

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

bool LirePlaylist(const QString& chemin, const std::function<bool(const QString&)>& ajouter,
                  const std::function<void()>& avantLigne)
{
    QFile f(chemin);
    if (!QFileInfo(chemin).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    while (!f.atEnd()) {
        if (avantLigne)
            avantLigne();
        const QByteArray brut = f.readLine();
        if (brut.isEmpty() && f.error() != QFileDevice::NoError)
            break; // a read error ends the reading silently
        const QString ligne = rogner(QString::fromUtf8(brut));
        if (ligne.isEmpty() || ligne.startsWith(QLatin1Char('#')))
            continue;
        if (!ajouter(ligne))
            break;
    }
    return true;
}

} // namespace korvan
