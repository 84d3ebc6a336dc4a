#pragma once
// What the command runner needs from the main window, as small interfaces
// the window implements and the tests fake: the file list, the window's
// refresh calls, the progress display and the preview's hold on its file.
#include "analysis/aviFichier.h"

#include <QString>
#include <memory>
#include <vector>

namespace korvan {

// The list owns its entries; the runner keeps a reference to the entries of
// its work list so that an entry an earlier step removed or replaced cannot be
// mistaken for another one allocated at the same place.
using EntreePtr = std::shared_ptr<const TAfficherFichier>;

class ListeFichiers {
public:
    virtual ~ListeFichiers() = default;

    virtual int nombreLignes() const = 0;
    virtual EntreePtr entree(int index) const = 0;
    virtual bool estSelectionnee(int index) const = 0;
    virtual void selectionner(int index, bool selectionnee) = 0;
    // The focused line (the current entry's), -1 for none.
    virtual int ligneFocus() const = 0;
    virtual void definirFocus(int index) = 0;
    // The list box refuses the user's clicks and keys while disabled.
    virtual void activerListe(bool active) = 0;
    // The entry of the focused line as of the last MajStatut, or null.
    virtual EntreePtr entreeCourante() const = 0;
    // Makes an entry current without moving the focus or the selection (a
    // command-line run); null, or the next change of focus, ends it.
    virtual void imposerEntreeCourante(const EntreePtr& entree) = 0;

    // Index of the first line whose entry's chemin equals the path exactly, or -1.
    virtual int IndexDeChemin(const QString& chemin) const = 0;
    // Removes the line (a negative index does nothing); the focus moves up.
    virtual void RetirerEntree(int index) = 0;
    // Drops the line of that path if any, then adds the file as a new entry.
    virtual void RemplacerParNouveau(const QString& chemin) = 0;
    // Rebuilds the line's entry from its path, in place.
    virtual void RelireEntree(int index) = 0;
    // Replaces the line's entry by that of the new path, moves it to its
    // sorted place and selects it; it stays focused if it was.
    virtual void RenommerEntree(int index, const QString& nouveauChemin) = 0;

    // Derived from the above; a list that counts its selection as it
    // changes says so at once (the commands ask at every paint).
    virtual int nombreSelectionnees() const;
    // The selected lines in order.
    virtual std::vector<int> selection() const;
    int indexDeEntree(const TAfficherFichier* entree) const;
};

class FenetreCommandes {
public:
    virtual ~FenetreCommandes() = default;
    // Counter, category state, current entry from the focused line.
    virtual void MajStatut() = 0;
    // Visibility and enabling of every action.
    virtual void MajCommandes() = 0;
    // MajStatut, the current entry in the info panel and the preview, MajCommandes.
    virtual void SelectionChangee() = 0;
    // Disables every action of the categories "liste" and "multi" while a long
    // command runs; MajCommandes enables them again once the list is enabled.
    virtual void desactiverActionsListeEtMulti() = 0;
};

class AffichageProgression {
public:
    virtual ~AffichageProgression() = default;
    // The position slider of the preview panel.
    virtual void montrerCurseurPosition(bool visible) = 0;
    virtual void montrerJauge(bool visible) = 0;
    // 0 to 100.
    virtual void definirJauge(int pourcent) = 0;
    // The first panel of the status bar.
    virtual void texteStatut(const QString& texte) = 0;
};

// The preview holds its file open; commands that change or replace files ask
// it to let go and to take files again afterwards.
class ControleApercu {
public:
    virtual ~ControleApercu() = default;
    virtual void libererFichier() = 0;
    virtual void reprendreFichiers() = 0;
};

// Releases the preview's file for the life of the object.
class ApercuLibere {
public:
    explicit ApercuLibere(ControleApercu* apercu) : apercu_(apercu)
    {
        if (apercu_)
            apercu_->libererFichier();
    }
    ~ApercuLibere()
    {
        if (apercu_)
            apercu_->reprendreFichiers();
    }
    ApercuLibere(const ApercuLibere&) = delete;
    ApercuLibere& operator=(const ApercuLibere&) = delete;

private:
    ControleApercu* apercu_;
};

} // namespace korvan
