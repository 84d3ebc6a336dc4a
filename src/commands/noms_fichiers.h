#pragma once
// How the rename commands build names: the base of a clip's path, the
// datecode as a name part, the first free name, the shortened name (their
// questions follow the short-string rule of analysis/texte_court.h).
#include "analysis/dateheure.h"
#include "analysis/texte_court.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace korvan {

// The path without its extension ".avi" (in any letter case); a path without
// that extension is its own base.
QString BaseDeChemin(const QString& chemin);
// The folder part of a path, up to and including its last separator.
QString DossierDeChemin(const QString& chemin);

// The datecode formatted with prefFormatAjouter, with each of < > : " / \ |
// replaced by "." (characters that cannot appear in file names somewhere).
QString DatecodePourNom(TDateTime datecode);
QString DatecodePourNom(TDateTime datecode, const QString& format);

// Whether a file of that path exists (replaceable in tests).
using TestExistence = std::function<bool(const QString& chemin)>;
bool FichierExiste(const QString& chemin);

// B when B + ".avi" names no file, else the first of B(1), B(2), ... that is free.
QString NomLibre(const QString& base, const TestExistence& existe = FichierExiste);

// Whether a name suffix (the text after a "_") is one that shortening removes:
// "type2", "type1", "in", "ntsc", "pal", "am", "pm" in any letter case, or a
// text without any letter a to z (the empty text included).
bool SuffixeRetirable(const QString& suffixe);
// The base with its removable suffixes taken off from the end, each with its
// "_". Only the file name is searched, never the folders, and a "_" that
// opens the name is not a suffix mark, so a name is never emptied and the
// file never leaves its folder.
QString NomRaccourci(const QString& base);
// Whether NomRaccourci changes the base.
bool EstRaccourcissable(const QString& base);

} // namespace korvan
