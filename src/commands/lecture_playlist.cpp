#include "commands/lecture_playlist.h"

#include <QFile>
#include <QFileInfo>

namespace korvan {

namespace {

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

void LireLignesPlaylist(QIODevice& source, const std::function<bool(const QString&)>& ajouter,
                        const std::function<void()>& avantLigne)
{
    while (!source.atEnd()) {
        if (avantLigne)
            avantLigne();
        const QByteArray brut = source.readLine();
        if (brut.isEmpty())
            break; // a read error (atEnd said more was there)
        const QString ligne = rogner(QString::fromUtf8(brut));
        if (ligne.isEmpty() || ligne.startsWith(QLatin1Char('#')))
            continue;
        if (!ajouter(ligne))
            break;
    }
}

bool LirePlaylist(const QString& chemin, const std::function<bool(const QString&)>& ajouter,
                  const std::function<void()>& avantLigne)
{
    QFile f(chemin);
    if (!QFileInfo(chemin).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    LireLignesPlaylist(f, ajouter, avantLigne);
    return true;
}

} // namespace korvan
