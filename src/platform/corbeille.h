#pragma once
// Deleting to the freedesktop trash, so that the file manager can restore
// what the program deleted. A file is only ever renamed into a trash on its
// own filesystem, never copied: it is moved whole or left where it was.
#include <QString>

namespace korvan {

// Moves the file (or folder) at chemin to the trash: the user's home trash
// when the file lives on the same filesystem, else the trash at the top of the
// file's own volume. False when nothing exists at chemin or it could not be moved.
bool SupprimerVersCorbeille(const QString& chemin);

// The user's trash folder at the top of a volume other than the home trash's,
// created when missing: $topdir/.Trash/$uid when $topdir/.Trash is a real
// folder with the sticky bit set, else $topdir/.Trash-$uid. Empty when neither
// can be used.
QString corbeilleDuVolume(const QString& racineVolume, uint uid);

// Moves chemin into the trash folder corbeille (its files/ and info/ folders
// created when missing) under a name not yet used there, after writing the
// .trashinfo that records cheminInscrit (an absolute path, or one relative to
// the volume top for a volume trash) and the deletion time. The info file is
// removed again when the move fails. *cheminDansCorbeille gets the new path.
bool deplacerDansCorbeille(const QString& chemin, const QString& corbeille, const QString& cheminInscrit,
                           QString* cheminDansCorbeille = nullptr);

} // namespace korvan
