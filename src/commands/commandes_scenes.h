#pragma once
// The scene commands: a scene file beside the clip (CreerScenes), the scene
// list as text (ScenesText, which borrows CreerScenes's execution through its
// model and hands it other routines in its record), and the scene file sent
// to the trash (SupprimerScenes).
#include "commands/FileAction.h"
#include "commands/services_commandes.h"
#include "scenes/ScenesParam.h"

namespace korvan {

// The routine blocks the two records point to; they live as long as the program.
TRoutinesScenes& BlocScenesFichier();
TRoutinesScenes& BlocScenesTexte();
// Fills a command's record: its name and the routine block its execution runs.
void DefinirParamScenes(TParam& param, const QString& nom, TRoutinesScenes& bloc);

// Asks before replacing a scene file that exists.
void CreerScenesConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
// Asks before replacing a scene text file that exists.
void ScenesTextConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
// A scene run with the routines of the record; the entry is read again
// afterwards (utModify), so the list shows whether it now has a scene file.
void CreerScenesExecution(TParam& param, const TAfficherFichier* fichier, QString& newfichier,
                          TchUpdateType& update);

// Offered (enabled) for entries that had a scene file when they were built.
void SupprimerScenesFileCondition(TParam& param, const TAfficherFichier* fichier, bool& visible, bool& enabled);
void SupprimerScenesConfirmation(TParam& param, const TAfficherFichier* fichier, QString& confirmMsg);
// The scene file to the trash; a failure is told in an error box.
void SupprimerScenesExecution(const ServicesCommandes& services, TParam& param, const TAfficherFichier* fichier,
                              QString& newfichier, TchUpdateType& update);

} // namespace korvan
