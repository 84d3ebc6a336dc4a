#pragma once
// The file-system half of a file entry: name, path, size, dates, attributes
// and the sort keys built from them.
#include "analysis/dateheure.h"

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
};

} // namespace korvan
