#pragma once
// A file entry as JSON, field names as in the code: what korvan-info prints
// and what scripts read.
#include "analysis/aviFichier.h"

#include <QJsonObject>

namespace korvan {

QJsonObject EntreeVersJson(const TAfficherFichier& entree);

} // namespace korvan
