#pragma once
// The scene list as a readable text file beside the clip ("clip_scn.txt"):
// a commented header, one line per scene, a commented footer. Local 8-bit
// text (UTF-8 here), lines ended by CR LF as the program's users expect.
#include "platform/identite_programme.h"
#include "analysis/aviFichier.h"
#include "scenes/ScenesParam.h"

#include <QString>

namespace korvan {

// The maker's web address in the footer.

// The text export of a clip: its path with "_scn.txt" in place of the extension.
QString CheminTexteScenes(const QString& cheminClip);

// The line of one scene: two blanks, then number, start, end, datecode,
// time code and length separated by commas (empty fields stay empty).
QString LigneSceneTexte(int32_t numero, const TSceneInfo& scene);

// Creates (or overwrites) the text file and writes its 11 header lines; ok
// false when it cannot be created or written.
void OuvrirTexteScenes(const TAfficherFichier& entree, bool& ok);
// Writes the next scene's line. Throws FileError when the file cannot be
// written, which ends the run.
void EcrireSceneTexte(const TSceneInfo& scene);
// Writes the 5 footer lines and closes the file; nothing when none is open.
void FermerTexteScenes();

// The last input/output error of the text export (empty when the last export
// went well), for the command to show once the run is over.
QString ErreurTexteScenes();

// The question asked before exporting: empty when no text export exists yet,
// otherwise whether to replace it (a shorter wording when the path makes the
// question 255 characters or more).
QString ScenesTextConfirmation(const TAfficherFichier& entree);

} // namespace korvan
