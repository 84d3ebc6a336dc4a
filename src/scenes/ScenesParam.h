#pragma once
// What a scene run hands over and to whom: one scene, the three routines that
// take the scenes of a run, and the two sets of routines the scene commands
// carry (the scene file beside the clip, or the scene list as text).
#include "analysis/aviFichier.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace korvan {

// One scene as handed to RoutineScene; positions are frame numbers of the
// clip's first stream and texts follow PositionEnTexte.
struct TSceneInfo {
    int32_t debut = 0;          // first frame
    int32_t fin = 0;            // last frame
    QString texteDatecodeScene; // datecode of the first frame, empty without one
    QString texteTimecodeScene; // time code of the first frame, empty without one
    QString texteDebut;
    QString texteFin;
    QString texteDureeScene;    // the scene's length in frames, as a position text

    friend bool operator==(const TSceneInfo&, const TSceneInfo&) = default;
};

// The caller's routines of one run, called on the caller's thread in this
// order: RoutineDebut once (ok false ends the run before any frame is read),
// RoutineScene for each scene, RoutineFin once at the end of every run
// whatever happened before. A routine may throw to end the run; RoutineFin
// still runs.
struct TRoutinesScenes {
    std::function<void(const TAfficherFichier& entree, bool& ok)> RoutineDebut;
    std::function<void(const TSceneInfo& scene)> RoutineScene;
    std::function<void()> RoutineFin;
};

// Scenes taken by the routines of the run under way (reset when a run or a
// text export starts). Used on the caller's thread only.
inline int32_t compteurScenes = 0;

// The scene file writer (OuvrirScn, EcrireSceneScn, FermerScn): the data
// block of the command CreerScenes.
TRoutinesScenes RoutinesScenesFichier();
// The scene list text export (OuvrirTexteScenes, EcrireSceneTexte,
// FermerTexteScenes): the data block of the command ScenesText.
TRoutinesScenes RoutinesScenesTexte();

} // namespace korvan
