#include "scenes.h"

#include "platform/etat_programme.h"
#include "scenes/CreerScenes.h"
#include "scenes/texte_scenes.h"

#include <cstdio>

int afficherScenes(const QStringList& fichiers, const korvan::ContexteEntree& contexte)
{
    using namespace korvan;
    int code = 0;
    for (const QString& chemin : fichiers) {
        const TAfficherFichier entree(chemin, contexte);
        // Positions are texts at the clip's own rate, as when the preview shows it.
        fpsCourant = entree.fps;
        if (fichiers.size() > 1)
            std::printf("// ***   %s   ***\n", qPrintable(chemin));
        int32_t numero = 0;
        TRoutinesScenes routines;
        routines.RoutineScene = [&numero](const TSceneInfo& scene) {
            std::printf("%s\n", LigneSceneTexte(++numero, scene).toUtf8().constData());
        };
        if (DetecterScenes(entree, routines, contexte.formatAfficher) != IssueDetection::Complete) {
            std::fprintf(stderr, "korvan-info: %s: no frames to scan\n", qPrintable(chemin));
            code = 1;
        }
    }
    std::fflush(stdout);
    return code;
}
