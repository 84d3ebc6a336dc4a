#pragma once
// FileDate: the file's dates set to the recording date.
//
// On Linux only the modification time can be set: the birth time that some
// filesystems record (ext4, btrfs, xfs; shown by statx) has no setter for
// ordinary programs, and the change time always follows the clock. The
// access time is left as it is.
#include "commands/FileAction.h"
#include "commands/services_commandes.h"

#include <QDateTime>

namespace korvan {

// Sets the modification time of the file, leaving its access time. 0, or
// the system's error number (EINVAL for an invalid moment).
int DefinirDateModification(const QString& chemin, const QDateTime& moment);

void FileDateConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
// utModify with newfichier = chemin, even when the times could not be set
// (that is told in an error box, and the entry is re-read all the same);
// utNone when the entry's datecode is not a date.
void FileDateExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                       QString& newfichier, TchUpdateType& update);

} // namespace korvan
