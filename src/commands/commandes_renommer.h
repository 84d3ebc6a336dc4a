#pragma once
// The rename commands: the datecode or the time code appended to the name,
// the appended suffixes taken off, the clip-style name from a fixed root and
// the recording date. The scene file beside the clip follows it.
#include "commands/FileAction.h"
#include "commands/services_commandes.h"

namespace korvan {

// The new base each command gives the entry (NomLibre applied), as both its
// question and its execution compute it.
QString NouvelleBaseAjouterDateCode(const TAfficherFichier& fichier);
QString NouvelleBaseAjouterTimecode(const TAfficherFichier& fichier);
QString NouvelleBasePurgerNom(const TAfficherFichier& fichier);
QString NouvelleBaseRenameScAn(const TAfficherFichier& fichier);

// The video gets nouvelleBase + ".avi" (newfichier), then its scene file, if
// any, nouvelleBase + ".scn". utRename, or utNone when the video could not be
// renamed: it then keeps its name. Either failure is told in an error box
// naming the file and the system's reason; a scene file that could not follow
// stays under its old name beside the renamed video.
TchUpdateType RenommerClip(const ServicesCommandes& services, const TAfficherFichier& fichier,
                           const QString& nouvelleBase, QString& newfichier);

// The file condition of AjouterDateCode, also used by FileDate and RenameScAn:
// the entry has a recording date.
void AjouterDateCodeFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void AjouterDateCodeConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void AjouterDateCodeExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                              QString& newfichier, TchUpdateType& update);

void AjouterTimecodeFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void AjouterTimecodeConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void AjouterTimecodeExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                              QString& newfichier, TchUpdateType& update);

void PurgerNomFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void PurgerNomConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void PurgerNomExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                        QString& newfichier, TchUpdateType& update);

void RenameScAnConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
void RenameScAnExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                         QString& newfichier, TchUpdateType& update);

} // namespace korvan
