#pragma once
// The system report of the about panel: what the system offers the program
// (its name, the media libraries, which filters are installed), written once
// at start-up line by line, each line black, or red for a missing filter.
#include "pipelines/presence_filtres.h"

#include <QString>
#include <vector>

namespace korvan {

class BoiteMessage;

enum class StyleRapport : uint8_t { Italique, Gras };

struct LigneRapportSysteme {
    StyleRapport style;
    QString texte;
    bool rouge = false;
    bool operator==(const LigneRapportSysteme&) const = default;
};

// The seventeen lines: the system's name, the media libraries' version, then
// the eleven filter lines, each red when its flag is false.
std::vector<LigneRapportSysteme> LignesRapportSysteme(const QString& nomSysteme, const QString& versionMedia,
                                                      const DrapeauxFiltres& drapeaux);
// This machine's: NomVersionWindows, VersionDirectX, the flags of the start-up check.
std::vector<LigneRapportSysteme> LignesRapportSysteme();

// Where the report is written: one line at a time, in the current style.
class SortieRapportSysteme {
public:
    virtual ~SortieRapportSysteme() = default;
    virtual void vider() = 0;
    virtual void definirStyle(StyleRapport style) = 0;
    virtual void ecrire_noir(const QString& texte) = 0;
    virtual void ecrire_rouge(const QString& texte) = 0;
};

// Clears the report and writes the lines. A line that cannot be written is
// told to the user ("SVP informez Brannoc de l'erreur suivante: Erreur dans
// ecrire_noir", or ecrire_rouge) and the report goes on with the next one.
void EcrireRapportSysteme(SortieRapportSysteme& sortie, const std::vector<LigneRapportSysteme>& lignes,
                          BoiteMessage& boite);

} // namespace korvan
