#pragma once
// A scene run over a clip: the scan of its frames for recording-date breaks,
// the scenes handed to the caller's routines, the progress shown by the
// command runner's gauge, Esc, and the preview following the breaks.
#include "analysis/aviFichier.h"
#include "scenes/ScenesParam.h"
#include "scenes/balayage_scenes.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace korvan {

// Position text of a frame number, "hh.mm.ss.ff", at the frame rate of the
// entry on display (fpsCourant); "0:00:00:00" when that rate is 0.
QString PositionEnTexte(int32_t image);
QString PositionEnTexte(int64_t image, double fps);

// The texts of a scene: datecode in the display date format (empty without
// one), time code (empty without one), positions at the given frame rate.
TSceneInfo SceneInfoDepuis(const SceneBrute& scene, double fps, const QString& formatAfficher);

enum class IssueDetection {
    Complete,  // the whole clip was scanned and its last scene handed over
    Abandon,   // Esc (abandonDemande) stopped the scan: no last scene
    Echec,     // RoutineDebut refused, the clip has no readable frames, or a routine failed
    Refusee,   // another run was under way: nothing was done, no routine called
};

// One scene run over an entry, on the caller's thread (normally the window's):
// RoutineDebut, then a scan of the clip's first stream on a worker thread while
// this thread pumps the event queue, each scene handed to RoutineScene as it
// is found, the last scene (ending at the last frame) unless the run was
// stopped, and RoutineFin in every case. While it runs, chargementEnCours is
// set and progressionConversion/dureeConversion give the frames examined and
// the frame count. Positions are texts at fpsCourant, read once at the start.
// formatAfficher is the display date format (the caller passes prefFormatAfficher).
IssueDetection DetecterScenes(const TAfficherFichier& entree, const TRoutinesScenes& routines,
                              const QString& formatAfficher = kFormatAfficherDefaut);
// The same run over frames from another source (tests, tools).
IssueDetection DetecterScenes(const TAfficherFichier& entree, const TRoutinesScenes& routines,
                              std::unique_ptr<SourceImagesDV> source,
                              const QString& formatAfficher = kFormatAfficherDefaut);

} // namespace korvan
