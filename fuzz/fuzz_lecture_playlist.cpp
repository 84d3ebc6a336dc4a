#include "fuzz_lecture_playlist.h"

#include "commands/lecture_playlist.h"

#include <QBuffer>
#include <QStringList>

namespace korvan::fuzz {

namespace {

// The entries as the format defines them, found without the reader: lines
// end at LF, blanks and control characters trimmed, comments and empty lines left out.
QStringList entreesAttendues(const QByteArray& octets)
{
    QStringList entrees;
    for (qsizetype debut = 0; debut < octets.size();) {
        qsizetype fin = octets.indexOf('\n', debut);
        fin = fin < 0 ? octets.size() : fin + 1;
        const QString ligne = QString::fromUtf8(octets.mid(debut, fin - debut));
        qsizetype a = 0, b = ligne.size();
        while (a < b && ligne[a].unicode() <= 0x20)
            ++a;
        while (b > a && ligne[b - 1].unicode() <= 0x20)
            --b;
        const QString e = ligne.mid(a, b - a);
        if (!e.isEmpty() && !e.startsWith(u'#'))
            entrees << e;
        debut = fin;
    }
    return entrees;
}

QStringList lire(const QByteArray& octets, int arret, int& lignes)
{
    QByteArray copie = octets;
    QBuffer tampon(&copie);
    tampon.open(QIODevice::ReadOnly);
    QStringList lues;
    lignes = 0;
    LireLignesPlaylist(
        tampon, [&](const QString& p) { lues << p; return arret < 0 || lues.size() < arret; }, [&] { ++lignes; });
    return lues;
}

} // namespace

bool fuzzLecturePlaylist(const uint8_t* data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char*>(data), qsizetype(size));
    int lignes = 0;
    const QStringList lues = lire(octets, -1, lignes);
    for (const QString& e : lues)
        if (e.isEmpty() || e.front().unicode() <= 0x20 || e.back().unicode() <= 0x20 || e.startsWith(u'#')
            || e.contains(u'\n'))
            return false;
    if (lignes > octets.count('\n') + 1 || lues != entreesAttendues(octets))
        return false;
    // Esc after k entries: exactly k are read.
    const int k = size > 0 ? data[0] % 8 + 1 : 1;
    const QStringList arretees = lire(octets, k, lignes);
    return arretees == lues.mid(0, k);
}

} // namespace korvan::fuzz
