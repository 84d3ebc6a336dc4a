#include "commands/commandes_scenes.h"

#include "analysis/format_texte.h"
#include "commands/commandes_fichiers.h"
#include "commands/noms_fichiers.h"
#include "platform/preferences.h"
#include "scenes/CreerScenes.h"
#include "scenes/fichier_scn.h"
#include "scenes/texte_scenes.h"

#include <QFileInfo>

namespace korvan {

TRoutinesScenes& BlocScenesFichier()
{
    static TRoutinesScenes bloc = RoutinesScenesFichier();
    return bloc;
}

TRoutinesScenes& BlocScenesTexte()
{
    static TRoutinesScenes bloc = RoutinesScenesTexte();
    return bloc;
}

void DefinirParamScenes(TParam& param, const QString& nom, TRoutinesScenes& bloc)
{
    param.definirNom(nom);
    // Three routine addresses in the historical record.
    param.Taille = 12;
    param.Donnees = &bloc;
}

void CreerScenesConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmMsg.clear();
    if (!fichier)
        return;
    const QString scn = CheminFichierScn(fichier->chemin);
    if (!QFileInfo::exists(scn))
        return;
    confirmMsg = QuestionCourte({Format("Voulez-vous remplacer le fichier %s déjà existant?", scn),
                                 QStringLiteral("Voulez-vous remplacer le fichier scn déjà existant?")});
}

void ScenesTextConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmMsg = fichier ? ScenesTextConfirmation(*fichier) : QString();
}

void CreerScenesExecution(TParam& param, const TAfficherFichier* fichier, QString& newfichier, TchUpdateType& update)
{
    if (!fichier)
        return;
    newfichier = fichier->chemin;
    update = utModify;
    const auto* routines = static_cast<const TRoutinesScenes*>(param.Donnees);
    if (!routines)
        return;
    try {
        DetecterScenes(*fichier, *routines, prefFormatAfficher);
    } catch (...) {
        // The run reports its own failures; the entry is read again all the same.
    }
}

void SupprimerScenesFileCondition(TParam&, const TAfficherFichier* fichier, bool&, bool& enabled)
{
    enabled = fichier && fichier->aScenes;
}

void SupprimerScenesConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    const QString court = QStringLiteral("Voulez-vous vraiment envoyer ce fichier scn à la poubelle?");
    confirmMsg = fichier ? QuestionCourte({Format("Voulez-vous vraiment envoyer le fichier %s à la poubelle?",
                                                  CheminFichierScn(fichier->chemin)),
                                           court})
                         : court;
}

void SupprimerScenesExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString&,
                              TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    if (EnvoyerCorbeilleOuSignaler(services, CheminFichierScn(fichier->chemin),
                                   QStringLiteral("Le fichier est peut-être utilisé actuellement ou en lecture seule")))
        update = utModify;
}

} // namespace korvan
