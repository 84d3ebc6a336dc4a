#pragma once
// Commands that manage the listed files without changing them: take them off
// the list, send them to the trash, open their folder, play them, hand them
// to the frame-grab program.
#include "commands/FileAction.h"
#include "commands/services_commandes.h"

namespace korvan {

// The file stays on disk; only its line goes.
void oterfichierExecution(TParam& param, const TAfficherFichier* fichier, QString& newfichier,
                          TchUpdateType& update);

// Offered for files that are not read-only.
void SupprimerFichierFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void SupprimerFichierConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
// To the trash; a failure is told in an error box and the entry stays.
void SupprimerFichierExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                               QString& newfichier, TchUpdateType& update);

// Sends a file to the trash; on failure, an error box with "Impossible de
// supprimer ", the path and the reason line. True when it went.
bool EnvoyerCorbeilleOuSignaler(const ServicesCommandes& services, const QString& chemin, const QString& raison);

void DossierParentExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                            QString& newfichier, TchUpdateType& update);
void DefaultPlayerExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                            QString& newfichier, TchUpdateType& update);

// Exists when a file is at prefFichierStillex.
void StillexGeneralCondition(TParam& param, bool& visible);
// Starts prefFichierStillex with the clip's path as its one argument. The
// path goes to the program as one argument vector element, whole, spaces
// included; quotes around it would reach the program as part of the name.
void StillexExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                      QString& newfichier, TchUpdateType& update);

} // namespace korvan
