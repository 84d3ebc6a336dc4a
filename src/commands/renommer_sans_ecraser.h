#pragma once
// Renaming that never replaces a file: a name that is free when a command
// chooses it may be taken a moment later by another program, so the check
// and the rename must be one step.
#include <QString>

namespace korvan {

// Gives the file at source the name cible unless something exists at cible,
// even something that appears during the call. Returns 0, or on failure the
// system's error number (EEXIST when cible is taken), the file keeping its
// old name.
// Tried in order, each when the previous one is not supported by the
// filesystem: renameat2 with RENAME_NOREPLACE; a hard link at cible then
// removal of the old name; a name reserved at cible with an exclusive create
// that the rename then replaces.
int RenommerSansEcraser(const QString& source, const QString& cible);

// The three ways, alone (0 or the errno value); tests reach each of them.
int renommerNoReplace(const QString& source, const QString& cible);
int renommerParLien(const QString& source, const QString& cible);
int renommerParReservation(const QString& source, const QString& cible);

} // namespace korvan
