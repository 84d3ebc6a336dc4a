#pragma once
// The file-system half of a file entry: name, path, size, dates, attributes
// and the sort keys built from them.
#include "analysis/dateheure.h"
#include "analysis/lecture_entete.h"

#include <QString>
#include <cstdint>

namespace korvan {

class TBaseFichier {
public:
    QString nom;      // file name without folder
    QString chemin;   // absolute path
    QString cleAlpha; // lower-case(nom + chemin)

protected:
    explicit TBaseFichier(const QString& cheminDonne);
};

// Windows-style attribute bits, as the list and commands test them.
enum AttributFichier : uint32_t {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faDirectory = 0x10,
    faArchive = 0x20,
    faNormal = 0x80,
};

// The attribute bits of an existing file. Read-only is the file's own mark,
// the same whoever looks at it (as the attribute is on Windows): its owner
// may not write it. Hidden: a name starting with a dot.
uint32_t AttributsDeFichier(const QString& chemin);
// The same from what a stat said and the file's name.
uint32_t AttributsSelonEtat(const EtatFichier& etat, const QString& nom);
// Gives the file the read-only state the bits say, by taking away or giving
// back its owner's write permission; its other permissions stay as they are.
// False when the permissions cannot be changed.
bool DefinirAttributsFichier(const QString& chemin, uint32_t attributs);

class TSRFichier : public TBaseFichier {
public:
    bool existe = false;
    uint32_t tailleHaute = 0;
    uint32_t tailleBasse = 0;
    TDateTime dateCreation = 0;
    TDateTime dateModification = 0;
    TDateTime dateAcces = 0;
    uint32_t attributs = 0;
    QString cleTaille;
    QString cleDateFichier;

    int64_t taille() const { return int64_t((uint64_t(tailleHaute) << 32) | tailleBasse); }

protected:
    explicit TSRFichier(const QString& cheminDonne);
    // With the stat already made on the open file; null: the path is stat'ed here.
    TSRFichier(const QString& cheminDonne, const EtatFichier* etat);
};

} // namespace korvan
