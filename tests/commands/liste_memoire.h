#pragma once
// The main window as the command runner sees it, kept in memory: a sorted
// multi-selection list of file entries with a focused line, and the window's
// refresh calls, which it records. It follows the list operations of the real
// window, so runner tests (and later the command-line tests) can run without
// a display.
#include "commands/interfaces_fenetre.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace korvan::test {

class ListeMemoire : public ListeFichiers, public FenetreCommandes {
public:
    using CleTri = std::function<QString(const TAfficherFichier&)>;

    // Entries are built with contexte; lines are kept in the order of cle
    // (compared without regard to case), by default the alphabetical key.
    explicit ListeMemoire(ContexteEntree contexte = {}, CleTri cle = {});

    // The window's AjouterFichier: an existing ".avi" file (any letter case)
    // becomes a line at its sorted place; the same key again replaces the
    // entry in place. Index of the line, or -1.
    int AjouterFichier(const QString& chemin);

    // ListeFichiers
    int nombreLignes() const override { return int(lignes_.size()); }
    EntreePtr entree(int index) const override;
    bool estSelectionnee(int index) const override;
    void selectionner(int index, bool selectionnee) override;
    int ligneFocus() const override { return focus_; }
    void definirFocus(int index) override;
    void activerListe(bool active) override;
    EntreePtr entreeCourante() const override { return courante_; }
    int IndexDeChemin(const QString& chemin) const override;
    void RetirerEntree(int index) override;
    void RemplacerParNouveau(const QString& chemin) override;
    void RelireEntree(int index) override;
    void RenommerEntree(int index, const QString& nouveauChemin) override;

    // FenetreCommandes
    void MajStatut() override;
    void MajCommandes() override;
    void SelectionChangee() override;
    void desactiverActionsListeEtMulti() override;

    // For the tests.
    bool listeActive() const { return active_; }
    bool actionsListeEtMultiDesactivees() const { return actionsDesactivees_; }
    QStringList noms() const;             // file names in line order
    QStringList nomsSelectionnes() const; // the selected ones, in line order
    QString nomCourant() const { return courante_ ? courante_->nom : QString(); }
    void toutSelectionner(bool selectionnee = true);
    // Every refresh call in order: "MajStatut", "MajCommandes", "SelectionChangee",
    // "desactiverActions", "activerListe(0|1)".
    QStringList journal;

private:
    struct Ligne {
        EntreePtr entree;
        QString cle;
        bool selectionnee = false;
    };

    EntreePtr construire(const QString& chemin) const;
    // Index at which the key belongs, and whether an equal key is there.
    std::pair<int, bool> place(const QString& cle) const;

    ContexteEntree contexte_;
    CleTri cle_;
    std::vector<Ligne> lignes_;
    int focus_ = -1;
    bool active_ = true;
    bool actionsDesactivees_ = false;
    EntreePtr courante_;
};

} // namespace korvan::test
