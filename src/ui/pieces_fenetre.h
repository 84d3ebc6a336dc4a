#pragma once
// The parts the main window is assembled from, each behind a small interface
// the window calls at its fixed steps (first showing, first paint, close,
// destruction). Every part is required: the window refuses to be built with
// one missing, so no step of the start-up can silently do nothing.
#include "integration/switches.h"
#include "pipelines/viewgraph.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace korvan {

class TUIForm;
class Tch;

// Which media filters exist here: sets the ok... flags at the first showing.
class PieceFiltres {
public:
    virtual ~PieceFiltres() = default;
    virtual void VerifierFiltres() = 0;
};

// The bridge between the stored settings and the window.
class PiecePreferences {
public:
    virtual ~PiecePreferences() = default;
    // After the filter check: load the settings and push them into the window.
    virtual void AppliquerPreferences(TUIForm& fenetre) = 0;
    // Take the settings back from the window, then save them all.
    virtual void RecueillirPreferences(TUIForm& fenetre) = 0;
};

// Fills the command registry the window's actions are joined to.
class PieceCommandes {
public:
    virtual ~PieceCommandes() = default;
    virtual void EnregistrerCommandes(Tch& module) = 0;
};

// The command line: the switch table, the start-up decision (hidden mode runs
// there), the window-mode run at the first paint, the table freed at closing.
class PieceLigneCommande {
public:
    virtual ~PieceLigneCommande() = default;
    virtual void ConstruireSwitches(TUIForm& fenetre) = 0;
    // True when the arguments wait for the first paint.
    virtual bool Demarrer(TUIForm& fenetre) = 0;
    virtual void PremierePeinture(TUIForm& fenetre) = 0;
    virtual void Liberer(TUIForm& fenetre) = 0;
    // How the start-up decision went; none until the window reached it.
    virtual std::optional<IssueDemarrage> issue() const = 0;
    // Whether the run of the command line, in either mode, had failures (a
    // command failed on a file, a switch was refused): the program's exit
    // status says so.
    virtual bool echecs() const = 0;
};

struct PiecesFenetre {
    std::unique_ptr<PieceFiltres> filtres;
    std::unique_ptr<PiecePreferences> preferences;
    std::unique_ptr<PieceCommandes> commandes;
    std::unique_ptr<PieceLigneCommande> ligneCommande;
    // The preview module the info panel shows the current entry with.
    std::unique_ptr<Tviewdm> apercu;

    // The names of the parts left empty.
    QStringList manquantes() const
    {
        QStringList noms;
        if (!filtres)
            noms << QStringLiteral("filtres");
        if (!preferences)
            noms << QStringLiteral("preferences");
        if (!commandes)
            noms << QStringLiteral("commandes");
        if (!ligneCommande)
            noms << QStringLiteral("ligneCommande");
        if (!apercu)
            noms << QStringLiteral("apercu");
        return noms;
    }
};

} // namespace korvan
