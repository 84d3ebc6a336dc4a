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
#include "platform/controles_options.h"
#include "scenes/apercu_detection.h"
#include "ui/pieces_fenetre.h"

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
class QListView;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace korvan {

class TAproposFrame;
class TBaseFrame;
class TOptionsFrame;
class TVideFrame;

class TUIForm : public QMainWindow, public FenetreCommandes, public AffichageProgression {
    Q_OBJECT
public:
    // The window needs every part (AssemblerFenetre gives the shipped ones);
    // a missing one throws std::invalid_argument naming it.
    explicit TUIForm(PiecesFenetre pieces, QWidget* parent = nullptr);
    ~TUIForm() override;

    ListePrincipale& liste() { return liste_; }
    Tch& commandes() { return tch_; }
    ExecuteurCommandes& executeur() { return *executeur_; }
    BoiteMessage& boite() { return *boite_; }
    TableActions& table() { return table_; }
    TBaseFrame* panneau() const { return base_; }
    TOptionsFrame* options() const { return options_; }
    TAproposFrame* apropos() const { return apropos_; }
    TVideFrame* vide() const { return vide_; }
    QListView* lb() const { return lb_; }
    QLabel* compteur() const { return compteur_; }
    QAction* action(const QString& nom) const { return qactions_.value(nom); }
    QMenu* menuPrincipal(int index) const;
    bool listeVisible() const { return listeVisible_; }
    bool placeholderVisible() const;
    bool panneauAffiche() const { return optionsAffiche_ || aproposAffiche_; }
    bool optionsAffiche() const { return optionsAffiche_; }
    bool aproposAffiche() const { return aproposAffiche_; }

    // Adding files.
    int AjouterFichier(const QString& chemin);
    void DebutOperation(const QString& texte);
    void FinOperation();
    void AjouterFichiers(const QStringList& chemins, const QString& texte, bool interruptible = true);
    void ParcourirDossier(const QString& dossier);
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
    // The preview's steps of pushing loaded settings into the window (the
    // sliders' place, the sound, the overlay command's caption, the sliders
    // shown), and the overlay position taken back before saving.
    void AppliquerPreferencesApercu(EtapeAppliquer etape);
    void RecueillirPreferencesApercu();
    Tviewdm& apercu() const { return *pieces_.apercu; }
    // A window action's caption, and its image (icon) unless -1.
    void legendeAction(const QString& nom, const QString& caption, int image);
    // The main window's half of the 40 ms tick: the position label.
    void Timer1Timer();
    void avPlayStopExecute();
    void avMuteExecute();
    void avFullscreenExecute();
    // Shows at most one of the two panels (options first), hiding the other;
    // only "permanent" actions stay available while one is shown.
    void montrerPanneaux(bool options, bool apropos);
    // Whether the default playlist still waits for the first paint; it no
    // longer does afterwards (the caller reads it when it wants it).
    bool prendrePlaylistEnAttente();

    const PiecesFenetre& pieces() const { return pieces_; }
    // Whether triggering the action does something: a handler of the window,
    // or a runner with a command that has an execution.
    bool actionLiee(const QString& nom) const;
    // The context menu of the window (and of the placeholder panel).
    QMenu* createPopupMenu() override;
    static QStringList entreesMenuFenetre();
    // The about panel on that page, its action checked, only "permanent" actions left.
    void montrerApropos(int page);
    int pageApropos() const;

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
    void AfficherOptions();
    void MasquerOptions();
    void AfficherApropos();
    void MasquerApropos();
    void dimensionnerPourPanneau(QWidget* panneau);
    void PremierAffichage();
    void afficherSelection();
    void demanderAffichageSelection();
    void majColler();
    void appliquerEtatActions();
    void surInactivite();
    void executer(const QString& nom);
    void creerGestionnaires();
    bool gereeParFenetre(const QString& nom) const { return gestionnaires_.contains(nom); }
    void ouvrirFichiersDialogue();
    void ouvrirDossierPrefere();
    void ouvrirDossierChoisi();
    void ouvrirTout();
    void sauverListeSous();
    void ouvrirPlaylistChoisie();
    void creerApercu();
    void montrerEntree(const TAfficherFichier& entree);
    void ouvrirApercuCourant();
    void viewfgGraphComplete();
    void incrustChange();
    void legendeAction(const QString& nom, const QString& caption);
    QAction* qaction(const ActionFenetre& a);
    void appliquerRaccourcis(QAction* q, const ActionFenetre& a);
    void remplirMenu(QMenu* menu, const QStringList& entrees);

    PiecesFenetre pieces_;
    // The window's own action handlers, by action name.
    QHash<QString, std::function<void()>> gestionnaires_;
    ListePrincipale liste_;
    TableActions table_;
    std::unique_ptr<BoiteMessage> boite_;
    std::unique_ptr<ControleApercu> controleApercu_;
    std::unique_ptr<IApercuDetection> apercuDetection_;
    Tch tch_;
    std::unique_ptr<ExecuteurCommandes> executeur_;
    TDirscan Dirscan1;
    QHash<QString, QAction*> qactions_;
    QList<QMenu*> menus_;
    QMenu* menuTri_ = nullptr;
    QMenu* menuTriListe_ = nullptr;
    QListView* lb_ = nullptr;
    QLabel* compteur_ = nullptr;
    QLabel* statut_ = nullptr;
    TBaseFrame* base_ = nullptr;
    QWidget* panneauListe_ = nullptr;
    QStackedWidget* gauche_ = nullptr;
    // The window's face: the info panel with the list, or one of the two panels over it.
    QStackedWidget* centre_ = nullptr;
    QWidget* corps_ = nullptr;
    TVideFrame* vide_ = nullptr;
    TOptionsFrame* options_ = nullptr;
    TAproposFrame* apropos_ = nullptr;
    int largeurAvantPanneau_ = 0;
    uint16_t raccourciLecture_ = 0; // avPlayStop's key while the options panel has it
    QToolBar* barreGauche_ = nullptr;
    QToolBar* barreDroite_ = nullptr;
    bool listeVisible_ = false;
    bool optionsAffiche_ = false;
    bool aproposAffiche_ = false;
    int pageApropos_ = 0;
    bool premierAffichageFait_ = false;
    bool avaitEntreeCourante_ = false;
    bool chargerPlaylistAuPremierAffichage_ = false;
    bool lignePendante_ = false;
    bool selectionAAfficher_ = false;
    bool apercuAJour_ = false; // a reload of the preview is queued
};

} // namespace korvan
