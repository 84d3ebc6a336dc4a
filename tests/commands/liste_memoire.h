#pragma once
// The main window as the command runner sees it, without a display: the real
// file list (ListePrincipale, sorted alphabetically here) with the window's
// refresh calls recorded around it, so runner tests see exactly what the
// window's list does.
#include "commands/interfaces_fenetre.h"
#include "commands/liste_fichiers.h"

#include <QString>
#include <QStringList>

namespace korvan::test {

class ListeMemoire : public ListeFichiers, public FenetreCommandes {
public:
    // Entries are built with contexte.
    explicit ListeMemoire(ContexteEntree contexte = {});
    ~ListeMemoire() override;

    // The window's AjouterFichier, followed by its MajStatut.
    int AjouterFichier(const QString& chemin);

    // ListeFichiers, forwarded to the real list (activerListe is recorded).
    int nombreLignes() const override { return liste.nombreLignes(); }
    EntreePtr entree(int index) const override;
    bool estSelectionnee(int index) const override;
    void selectionner(int index, bool selectionnee) override { liste.selectionner(index, selectionnee); }
    int ligneFocus() const override { return liste.ligneFocus(); }
    void definirFocus(int index) override { liste.definirFocus(index); }
    void activerListe(bool active) override;
    EntreePtr entreeCourante() const override { return liste.entreeCourante(); }
    void imposerEntreeCourante(const EntreePtr& e) override { liste.imposerEntreeCourante(e); }
    int IndexDeChemin(const QString& chemin) const override { return liste.IndexDeChemin(chemin); }
    void RetirerEntree(int index) override { liste.RetirerEntree(index); }
    void RemplacerParNouveau(const QString& chemin) override { liste.RemplacerParNouveau(chemin); }
    void RelireEntree(int index) override { liste.RelireEntree(index); }
    void RenommerEntree(int index, const QString& chemin) override { liste.RenommerEntree(index, chemin); }

    // FenetreCommandes
    void MajStatut() override;
    void MajCommandes() override;
    void SelectionChangee() override;
    void desactiverActionsListeEtMulti() override;

    // For the tests.
    bool listeActive() const { return liste.listeActive(); }
    bool actionsListeEtMultiDesactivees() const { return actionsDesactivees_; }
    QStringList noms() const;             // file names in line order
    QStringList nomsSelectionnes() const; // the selected ones, in line order
    QString nomCourant() const;
    void toutSelectionner(bool selectionnee = true);
    // Every refresh call in order: "MajStatut", "MajCommandes", "SelectionChangee",
    // "desactiverActions", "activerListe(0|1)".
    QStringList journal;

    ListePrincipale liste;

private:
    uint8_t ordreAvant_;
    bool actionsDesactivees_ = false;
};

} // namespace korvan::test
