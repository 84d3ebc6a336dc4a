#pragma once
// korvan-info --scenes: the scene list of each clip, as the text export writes its scene lines.
#include "analysis/aviFichier.h"

#include <QStringList>

// Prints the scene lines of each file (preceded by a "// ***   path   ***"
// line when there are several) without writing any file; returns the exit
// code: 1 when a file had no frames to scan.
int afficherScenes(const QStringList& fichiers, const korvan::ContexteEntree& contexte);
