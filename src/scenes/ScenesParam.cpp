#include "scenes/ScenesParam.h"

#include "scenes/fichier_scn.h"
#include "scenes/texte_scenes.h"

namespace korvan {

TRoutinesScenes RoutinesScenesFichier()
{
    return {OuvrirScn, EcrireSceneScn, FermerScn};
}

TRoutinesScenes RoutinesScenesTexte()
{
    return {OuvrirTexteScenes, EcrireSceneTexte, FermerTexteScenes};
}

} // namespace korvan
