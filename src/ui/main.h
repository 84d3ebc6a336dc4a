#pragma once
// The main window: the file list and its loaders, the info panel, menus,
// toolbars and status bar. Its logic lives in the core (ListePrincipale,
// TableActions, playlists, folder scanner); the window shows it and routes
// the user's gestures to it.
#include "commands/actions_fenetre.h"
#include "commands/chmodule.h"
#include "commands/executeur.h"
#include "commands/interfaces_fenetre.h"
#include "commands/liste_fichiers.h"
#include "platform/DirScan.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QPaintEvent;
class QShowEvent;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace korvan {

class TBaseFrame;

class TUIForm : public QMainWindow, public FenetreCommandes, public AffichageProgression {
    Q_OBJECT
public:
    explicit TUIForm(QWidget* parent = nullptr);
    ~TUIForm() override;

    ListePrincipale& liste() { return liste_; }
    Tch& commandes() { return tch_; }
    ExecuteurCommandes& executeur() { return *executeur_; }
    BoiteMessage& boite() { return *boite_; }
    TableActions& table() { return table_; }
    TBaseFrame* panneau() const { return base_; }
    QListWidget* lb() const { return lb_; }
    QLabel* compteur() const { return compteur_; }
    QAction* action(const QString& nom) const { return qactions_.value(nom); }
    QMenu* menuPrincipal(int index) const;
    bool listeVisible() const { return listeVisible_; }
    bool placeholderVisible() const;
    bool panneauAffiche() const { return optionsAffiche_ || aproposAffiche_; }

    // Adding files.
    int AjouterFichier(const QString& chemin);
    void DebutOperation(const QString& texte);
    void FinOperation();
    void AjouterFichiers(const QStringList& chemins, const QString& texte, bool interruptible = true);
    void ParcourirDossier(const QString& dossier, bool memeSysteme = false);
    void LirePlaylist(const QString& chemin);
    bool EcrirePlaylist(const QString& chemin);
    void TrierListe(TOrdreTri ordre);
    // Paths of a clipboard or drop: file URLs, and the copied-files formats of file managers.
    static QStringList CheminsDe(const QMimeData* donnees);

    // FenetreCommandes
    void MajStatut() override;
    void MajCommandes() override;
    void SelectionChangee() override;
    void desactiverActionsListeEtMulti() override;
    // AffichageProgression
    void montrerCurseurPosition(bool visible) override;
    void montrerJauge(bool visible) override;
    void definirJauge(int pourcent) override;
    void texteStatut(const QString& texte) override;

    void basculerListe();
    void montrerPanneaux(bool options, bool apropos);
    // Whether the default playlist still waits for the first paint; it no
    // longer does afterwards (the caller reads it when it wants it).
    bool prendrePlaylistEnAttente();

    // Steps that later parts of the program fill in; empty ones do nothing.
    struct Crochets {
        std::function<void(TUIForm&)> verifierFiltres;
        std::function<void(TUIForm&)> appliquerPreferences;
        std::function<void(TUIForm&)> enregistrerCommandes;
        std::function<void(TUIForm&)> chargerPlugins;
        std::function<void(TUIForm&)> construireSwitches; // the command-line switch table, once the choices are applied
        std::function<bool(TUIForm&)> ligneCommande; // true: arguments wait for the first paint
        std::function<void(TUIForm&)> ligneCommandePendante;
        std::function<void(TUIForm&)> libererSwitches; // at the close request
        std::function<void(TUIForm&, int page)> afficherPageApropos;
        std::function<void(TUIForm&)> rapportSysteme;
        std::function<void(TUIForm&, const QString& nomAction)> executerAction;
        std::function<void(TUIForm&)> recueillirPreferences;
    };
    Crochets crochets;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    void creerActions();
    void creerMenus();
    void creerPanneaux();
    void PremierAffichage();
    void synchroniserVue();
    void synchroniserFocus();
    void majColler();
    void vueVersModele();
    void appliquerEtatActions();
    void surInactivite();
    void executer(const QString& nom);
    QAction* qaction(const ActionFenetre& a);
    void remplirMenu(QMenu* menu, const QStringList& entrees);

    ListePrincipale liste_;
    TableActions table_;
    std::unique_ptr<BoiteMessage> boite_;
    std::unique_ptr<ControleApercu> apercu_;
    Tch tch_;
    std::unique_ptr<ExecuteurCommandes> executeur_;
    TDirscan Dirscan1;
    QHash<QString, QAction*> qactions_;
    QList<QMenu*> menus_;
    QMenu* menuTri_ = nullptr;
    QListWidget* lb_ = nullptr;
    QLabel* compteur_ = nullptr;
    QLabel* statut_ = nullptr;
    TBaseFrame* base_ = nullptr;
    QWidget* panneauListe_ = nullptr;
    QStackedWidget* gauche_ = nullptr;
    QWidget* placeholder_ = nullptr;
    QToolBar* barreGauche_ = nullptr;
    QToolBar* barreDroite_ = nullptr;
    bool listeVisible_ = false;
    bool optionsAffiche_ = false;
    bool aproposAffiche_ = false;
    bool premierAffichageFait_ = false;
    bool avaitEntreeCourante_ = false;
    bool chargerPlaylistAuPremierAffichage_ = false;
    bool lignePendante_ = false;
    bool synchro_ = false;
};

} // namespace korvan
