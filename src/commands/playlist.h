#pragma once
// Playlist text files: the list's paths with a commented header and footer,
// CR LF line ends, UTF-8 (round-trips every path the list can hold).
#include <QString>
#include <functional>

namespace korvan {

class ListePrincipale;

inline const QString kNomPlaylistDefaut = QStringLiteral("PlayList.txt");

// The playlist's text for the list in its current order.
QString TextePlaylist(const ListePrincipale& liste, const QString& formatAfficher);
// Writes it to chemin, replacing the file only once the whole text is
// written (a failed write leaves an older playlist intact). Empty text on
// success, otherwise the system's message.
QString EcrirePlaylist(const QString& chemin, const ListePrincipale& liste, const QString& formatAfficher);

// Reads the entry lines of a playlist: each line trimmed of blanks and
// control characters, empty lines and "#" comments skipped. ajouter is called
// for each path and returns false to stop (Esc). Before each line avantLigne
// runs (the caller pumps window events there). False when no file exists.
bool LirePlaylist(const QString& chemin, const std::function<bool(const QString&)>& ajouter,
                  const std::function<void()>& avantLigne = {});

} // namespace korvan
