#pragma once
// Plug-ins: shared libraries named *.qzp that add file commands after the
// built-in ones (their C interface is include/korvan/plugin.h). Loaded once
// at start-up, never unloaded: their commands live as long as the program.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QLibrary;

namespace korvan {

// The folders searched, in order: "plugins" beside the program (a build
// tree's), the installed plug-in folder (found from the program's folder, so
// any prefix works), then the user's own ($XDG_DATA_HOME/korvan/plugins),
// since an installed program's folders are not the user's to write in.
QStringList DossiersPlugins();

// One line of the about panel's "Plugs-in" page.
struct LignePlugins {
    enum class Style { Italique, GrasSouligne, Normal };
    QString texte;
    Style style = Style::Italique;
    friend bool operator==(const LignePlugins&, const LignePlugins&) = default;
};

// Loads every *.qzp of the folders (each folder in name order), checks the
// type tag, and registers the commands of those accepted after the ones
// already registered. Returns the page's lines; empty when no plug-in was
// accepted (the page's tab then stays hidden). A file that is not a library,
// or a library whose tag differs, is skipped silently.
std::vector<LignePlugins> ChargerPlugins(const QStringList& dossiers = DossiersPlugins());
// The lines of the last load.
const std::vector<LignePlugins>& pagePlugins();

// The text an export writes into a 65537-byte buffer, up to its first zero
// byte, at most 255 characters; empty when the export is missing.
QString LireChainePlugin(QLibrary& bibliotheque, const char* exportation);
// The integer an export writes; 0 when the export is missing.
int32_t LireEntierPlugin(QLibrary& bibliotheque, const char* exportation);

} // namespace korvan
