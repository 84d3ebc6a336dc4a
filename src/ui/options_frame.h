#pragma once
// The options panel: the settings on four pages ("Préférences", "Commandes",
// "Formats", "Dossiers"). Its controls are the ControlesOptions the rules of
// platform/controles_options.h work on: each control's signal runs its
// handler there, and the fill after loading and the collect before saving
// read and write the controls through the same interface.
#include "platform/controles_options.h"
#include "ui/panneau_fenetre.h"

#include <array>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;

namespace korvan {

class BoiteMessage;
class TableActions;
class Tviewdm;

class TOptionsFrame : public TPanneauFenetre, public ControlesOptions {
    Q_OBJECT
public:
    // The preview whose overlay follows the overlay settings; the window's
    // actions whose "Commandes" list the second page shows; the box that asks
    // before erasing the settings.
    TOptionsFrame(Tviewdm& apercu, TableActions& table, BoiteMessage& boite, QWidget* parent = nullptr);

    // Every caption and hint (the window's first showing).
    void internationalize();
    // Before each showing: the title, and the group "Incrustation" or, without
    // the overlay filters, the text that replaces it.
    void AfficherOptions(bool incrustation);
    // The "Commandes" list shows the table's items again (after they are filled).
    void RemplirCommandes();
    // "Sélectionner tout": every item the user may change checked.
    void SelectionnerTout();

    // ControlesOptions
    bool coche(ControleOptions c) const override;
    void cocher(ControleOptions c, bool etat) override;
    QString texte(ControleOptions c) const override;
    void ecrireTexte(ControleOptions c, const QString& texte) override;
    double valeur(ControleOptions c) const override;
    void ecrireValeur(ControleOptions c, double valeur) override;
    void activer(ControleOptions c, bool actif) override;
    void dossierDepart(ControleOptions c, const QString& dossier) override;
    void majApercu(ReglageApercu reglage, int dureeIncrust) override;

    // The control's widget (a check box, a line edit, the spin box, the radio
    // group's box, the font button); its browse button for folder and file boxes.
    QWidget* controle(ControleOptions c) const { return widgets_[size_t(c)]; }
    QAbstractButton* parcourir(ControleOptions c) const { return boutonsParcourir_[size_t(c)]; }

    // The folder dialog of a folder box, as its browse button opens it; the
    // chosen folder becomes the box's text.
    void choisirDossier(ControleOptions c);
    void choisirStillex();
    // The font dialog: on confirmation the overlay font takes the chosen one;
    // either way the preview's overlay gets the font.
    void choisirPolice();

    QPushButton* btnSauverMaintenant = nullptr;
    QPushButton* btnEffacer = nullptr;
    QGroupBox* gbIncrustation = nullptr;
    QLabel* labSansIncrustation = nullptr;
    QListView* RxCheckListBox1 = nullptr;
    QPushButton* btnSelectionnerTout = nullptr;
    QLabel* labAideCommandes = nullptr;
    QLabel* labAideFormats = nullptr;

signals:
    // "Sauver les préférences maintenant": the window collects and saves.
    void sauverMaintenant();

private:
    QWidget* creerPagePreferences();
    QWidget* creerPageCommandes();
    QWidget* creerPageFormats();
    QWidget* creerPageDossiers();
    QLineEdit* boiteTexte(ControleOptions c, QWidget* parent);
    QWidget* boiteAvecParcourir(ControleOptions c, QWidget* parent);
    QAbstractButton* bouton(ControleOptions c) const;
    QLineEdit* ligne(ControleOptions c) const;
    void brancher(ControleOptions c);

    Tviewdm& apercu_;
    TableActions& table_;
    BoiteMessage& boite_;
    static constexpr size_t kNombre = size_t(ControleOptions::edDossierSave) + 1;
    std::array<QWidget*, kNombre> widgets_{};
    std::array<QAbstractButton*, kNombre> boutonsParcourir_{};
    std::array<QLabel*, kNombre> legendes_{};
    std::array<QString, kNombre> departs_{};
    QButtonGroup* groupeStandard_ = nullptr;
    class ModeleCommandes* modeleCommandes_ = nullptr;
};

} // namespace korvan
