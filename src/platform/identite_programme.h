#pragma once
// Who the program is: its version (from the build's project version) and the
// maker's web address, written in titles, playlists, scene exports, reports
// and the settings.
#include "version_programme.h"

#include <QString>

namespace korvan {

inline const QString kAdresseSiteWeb = QStringLiteral("https://www.brannoc.fr/korvan");

// Built as the window builds it: the major number, a dot, the rest.
inline const QString versionProgramme =
    QStringLiteral(KORVAN_VERSION_MAJEURE) + QStringLiteral(".") + QStringLiteral(KORVAN_VERSION_MINEURE);

} // namespace korvan
