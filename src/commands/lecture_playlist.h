#pragma once
// Reading a playlist's entry lines; apart from the writer so that it needs
// QtCore only (the fuzz target builds it alone).
#include <QIODevice>
#include <QString>
#include <functional>

namespace korvan {

// Reads the entry lines of a playlist: each line trimmed of blanks and
// control characters, empty lines and "#" comments skipped. ajouter is called
// for each path and returns false to stop (Esc). Before each line avantLigne
// runs (the caller pumps window events there). False when no file exists.
bool LirePlaylist(const QString& chemin, const std::function<bool(const QString&)>& ajouter,
                  const std::function<void()>& avantLigne = {});

// The same from an open device; a read error ends the reading silently.
void LireLignesPlaylist(QIODevice& source, const std::function<bool(const QString&)>& ajouter,
                        const std::function<void()>& avantLigne = {});

} // namespace korvan
