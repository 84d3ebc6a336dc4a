#pragma once
// Path helpers shared by the file entry and the commands.
#include <QString>
#include <string>

namespace korvan {

// The path with the extension of its file name replaced (".scn", ".wav"...);
// a name without extension gets the new one appended. Dots in folder names
// are not extensions.
QString ChangerExtension(const QString& chemin, const QString& extension);
// File name part of a path.
QString NomDeFichier(const QString& chemin);
// The absolute, cleaned form of a path (symbolic links kept as given).
QString CheminAbsolu(const QString& chemin);
// The bytes to hand to the operating system for a path.
std::string CheminLocal(const QString& chemin);

} // namespace korvan
