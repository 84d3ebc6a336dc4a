#pragma once
// The user's folders the program relies on, found the freedesktop way
// (XDG base directories and user-dirs), so that a session's environment, or a
// test's, decides where they are.
#include <QString>

namespace korvan {

// The user's documents folder (XDG_DOCUMENTS_DIR, else ~/Documents); the home
// folder when that folder does not exist. Default of every folder setting.
QString DossierPersonnel();

// Where the user's desktop entries go: $XDG_DATA_HOME/applications
// (~/.local/share/applications by default); empty when no home is known.
QString dossierApplicationsUtilisateur();

// The user's home trash: $XDG_DATA_HOME/Trash; empty when no home is known.
QString corbeilleUtilisateur();

} // namespace korvan
