#pragma once
// Playlist text files: the list's paths with a commented header and footer,
// CR LF line ends, UTF-8 (round-trips every path the list can hold).
#include "commands/lecture_playlist.h"

#include <QString>

namespace korvan {

class ListePrincipale;

inline const QString kNomPlaylistDefaut = QStringLiteral("PlayList.txt");

// The playlist's text for the list in its current order.
QString TextePlaylist(const ListePrincipale& liste, const QString& formatAfficher);
// Writes it to chemin, replacing the file only once the whole text is
// written (a failed write leaves an older playlist intact). Empty text on
// success, otherwise the system's message.
QString EcrirePlaylist(const QString& chemin, const ListePrincipale& liste, const QString& formatAfficher);

} // namespace korvan
