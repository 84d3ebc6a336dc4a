#include "ui/main.h"

#include "commands/bascules_incrustation.h"
#include "commands/playlist.h"
#include "commands/raccourcis.h"
#include "commands/registre_commandes.h"
#include "integration/plugins.h"
#include "pipelines/presence_filtres.h"
#include "pipelines/rapport_systeme.h"
#include "pipelines/regles_apercu.h"
#include "platform/disques_fixes.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"
#include "ui/AfficherBase.h"
#include "ui/apropos_frame.h"
#include "ui/boite_message_qt.h"
#include "ui/codecformunit.h"
#include "ui/delegue_liste.h"
#include "ui/etiquette_elidee.h"
#include "ui/fenetre_video.h"
#include "ui/frequenceformunit.h"
#include "ui/incrustation_fenetre.h"
#include "ui/options_frame.h"
#include "ui/riffform.h"
#include "ui/vide_frame.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace korvan {

namespace {

constexpr int kLongueurNomMax = 65530;

// A command has the file: the preview lets it go, and takes the current entry
// back once the command is done with it.
class ApercuDeLaFenetre : public ControleApercu {
public:
    ApercuDeLaFenetre(Tviewdm& apercu, std::function<void()> reprendre) : apercu_(apercu), reprendre_(std::move(reprendre)) {}
    void libererFichier() override { apercu_.SuspendreApercu(); }
    void reprendreFichiers() override
    {
        apercu_.ReprendreApercu();
        reprendre_();
    }

private:
    Tviewdm& apercu_;
    std::function<void()> reprendre_;
};

// A scene run shows the first frame of each new recording, then pauses at the end.
class ApercuSuitDetection : public IApercuDetection {
public:
    ApercuSuitDetection(Tviewdm& apercu, TBaseFrame& panneau) : apercu_(apercu), panneau_(panneau) {}
    void positionnerImage(int32_t image) override
    {
        if (apercu_.definirFormatTemps(FormatTempsApercu::Images))
            apercu_.positionner(image);
    }
    void finDetection() override
    {
        panneau_.rafraichirPosition();
        QCoreApplication::processEvents();
        apercu_.PauseApercu();
    }

private:
    Tviewdm& apercu_;
    TBaseFrame& panneau_;
};

// Handles pending events every 80 ms at most: the window repaints at least
// ten times a second and hears Esc at once to the eye, while painting it
// (the whole window, its commands updated at each paint) costs a long load
// little beside its files.
void pomper()
{
    static QElapsedTimer depuis;
    if (depuis.isValid() && depuis.elapsed() < 80)
        return;
    QCoreApplication::processEvents();
    depuis.start();
}

} // namespace

TUIForm::TUIForm(PiecesFenetre pieces, QWidget* parent) : QMainWindow(parent), pieces_(std::move(pieces))
{
    if (const QStringList manquantes = pieces_.manquantes(); !manquantes.isEmpty())
        throw std::invalid_argument("TUIForm: parts missing: " + manquantes.join(QStringLiteral(", ")).toStdString());
    // Window creation, in order.
    sansConfirmation = false;
    setWindowTitle(QStringLiteral("Korvan") + QStringLiteral(" de ") + QStringLiteral("Brannoc"));
    setObjectName(QStringLiteral("UIForm"));
    setAcceptDrops(true);
    boite_ = std::make_unique<BoiteMessageQt>(this);
    creerPanneaux();
    creerActions();
    creerApercu();
    tch_.services.boite = boite_.get();
    tch_.services.apercu = controleApercu_.get();
    // The header-fix dialogs, the RIFF report window and the overlay toggles give their commands the handlers.
    InstallerCorrectionsEntetes(tch_, *new TFrequenceForm(this), *new TCodecForm(this));
    InstallerRapportRiff(tch_, *new TRiffForm(*boite_, this));
    InstallerBasculesIncrustation(tch_, *new IncrustationFenetre(*this));
    executeur_ = std::make_unique<ExecuteurCommandes>(liste_, *this, *boite_, *this, *controleApercu_);
    // A conversion waits in the runner, whose progress timer follows it and stops it on Esc.
    tch_.services.attendreConversion = [this] { executeur_->attendreFinConversion(); };
    creerGestionnaires();
    if (QAction* q = action(QStringLiteral("afQuitter")))
        q->setToolTip(QStringLiteral("Quitter %1").arg(QStringLiteral("Korvan")));

    // The view shows the list and shares its selection: there is nothing to keep in step.
    lb_->setModel(&liste_);
    // "Sélectionner à l'ouverture" is read from its box at each added file.
    liste_.selectionALOuverture = [this] { return options_->coche(ControleOptions::cbSelection); };
    lb_->setSelectionModel(liste_.modeleSelection());
    connect(&liste_, &ListePrincipale::activationModifiee, lb_, &QWidget::setEnabled);
    // The counter, the tooltip and the command states follow every change of
    // selection at once, gathered into one refresh per turn of the event loop.
    connect(&liste_, &ListePrincipale::selectionModifiee, this, [this] { demanderAffichageSelection(); });

    // The folder scanner feeds the list.
    Dirscan1.pomper = pomper;
    Dirscan1.OnFileFound = [this](TDirscan& s, const QString& f) {
        AjouterFichier(f);
        if (abandonDemande)
            s.Stop();
    };
    Dirscan1.OnDirWithFiles = [this](TDirscan&, const QString& d) { texteStatut(QStringLiteral("Parcours de ") + d); };

    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, &TUIForm::surInactivite);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TUIForm::majColler);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState etat) {
        if (etat == Qt::ApplicationActive)
            majColler();
    });
    resize(1040, 600);
}

TUIForm::~TUIForm()
{
    definirApercuDetection(nullptr);
    // Destruction: preferences, then the default playlist, as the settings say.
    if (prefSauverPrefsEnQuittant)
        pieces_.preferences->RecueillirPreferences(*this);
    if (prefSauverListeEnQuittant)
        EcrirePlaylist(prefDossierPlayList + kNomPlaylistDefaut);
}

void TUIForm::creerApercu()
{
    Tviewdm& a = *pieces_.apercu;
    base_->definirApercu(&a);
    controleApercu_ = std::make_unique<ApercuDeLaFenetre>(a, [this] { ouvrirApercuCourant(); });
    apercuDetection_ = std::make_unique<ApercuSuitDetection>(a, *base_);
    definirApercuDetection(apercuDetection_.get());
    a.afficherCode = [this](int raison) { base_->AfficherCode(raison); };
    a.modeSonSeul = [this] { base_->ModeSonSeul(); };
    a.placerCurseur = [this](int v) { base_->tb->setValue(v); };
    a.legendeLecture = [this](const QString& l) { legendeAction(QStringLiteral("avPlayStop"), l); };
    connect(&a, &Tviewdm::termine, this, &TUIForm::viewfgGraphComplete);
    connect(base_, &TBaseFrame::tic, this, &TUIForm::Timer1Timer);
    connect(base_->incrustHorz, &QSlider::valueChanged, this, &TUIForm::incrustChange);
    connect(base_->incrustVert, &QSlider::valueChanged, this, &TUIForm::incrustChange);
    // Pressing a slider plays the preview silently so that the moving overlay is seen.
    for (QSlider* s : {base_->incrustHorz, base_->incrustVert}) {
        connect(s, &QSlider::sliderPressed, this, [this] {
            if (apercu().etat() != EtatApercu::EnLecture) {
                apercu().volume(0);
                apercu().Lire();
            }
        });
        connect(s, &QSlider::sliderReleased, this, [this] {
            apercu().volume(prefMute ? 0 : 10000);
            apercu().PauseApercu();
        });
    }
    connect(base_->vw, &FenetreVideo::clicGauche, this, [this](QPoint p, QSize zone) {
        if (!prefSlidersVisible)
            return;
        if (base_->vw->pleinEcran())
            zone = base_->vw->screen()->size();
        if (zone.width() <= 0 || zone.height() <= 0)
            return;
        const QSignalBlocker h(base_->incrustHorz);
        const QSignalBlocker v(base_->incrustVert);
        base_->incrustHorz->setValue(p.x() * 1000 / zone.width());
        base_->incrustVert->setValue(1000 - p.y() * 1000 / zone.height());
        incrustChange();
        apercu().RafraichirApercu();
    });
    connect(base_->vw, &FenetreVideo::pleinEcranChange, this, [this](bool plein) {
        legendeAction(QStringLiteral("avFullscreen"), plein ? QStringLiteral("Quitter le plein écran") : QStringLiteral("Plein écran"));
    });
}

void TUIForm::legendeAction(const QString& nom, const QString& caption)
{
    if (ActionFenetre* a = table_.chercher(nom)) {
        a->caption = caption;
        appliquerEtatActions();
    }
}

void TUIForm::legendeAction(const QString& nom, const QString& caption, int image)
{
    ActionFenetre* a = table_.chercher(nom);
    if (a && image >= 0) {
        a->image = image;
        if (QAction* q = action(nom))
            q->setIcon(IconeImage(*style(), image));
    }
    legendeAction(nom, caption);
}

// The entry's facts in the info panel, and the entry in the preview.
void TUIForm::montrerEntree(const TAfficherFichier& entree)
{
    base_->AfficherInfos(entree);
    ouvrirApercuCourant();
}

// Loads the current entry into the preview, once per turn of the event loop
// however many changes ask for it.
void TUIForm::ouvrirApercuCourant()
{
    if (apercuAJour_)
        return;
    apercuAJour_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            apercuAJour_ = false;
            const EntreePtr e = liste_.entreeCourante();
            if (e && apercu().actif() && !apercu().apercuSuspendu())
                apercu().OuvrirApercu(*e, base_->vw);
        },
        Qt::QueuedConnection);
}

void TUIForm::Timer1Timer()
{
    base_->labTimeStamp->setText(TexteTimeStamp(base_->positionAffichee, fpsCourant.load()));
}

void TUIForm::avPlayStopExecute()
{
    switch (apercu().etat()) {
    case EtatApercu::EnLecture:
        apercu().PauseApercu();
        legendeAction(QStringLiteral("avPlayStop"), QStringLiteral("Play"));
        break;
    case EtatApercu::EnPause:
        apercu().Lire();
        legendeAction(QStringLiteral("avPlayStop"), QStringLiteral("Pause"));
        break;
    case EtatApercu::Arrete:
        break;
    }
}

// End of the clip: back to the start, paused.
void TUIForm::viewfgGraphComplete()
{
    apercu().positionner(0);
    avPlayStopExecute();
}

void TUIForm::avMuteExecute()
{
    QAction* q = action(QStringLiteral("avMute"));
    ActionFenetre* a = table_.chercher(QStringLiteral("avMute"));
    if (prefMute) {
        apercu().volume(10000);
        prefMute = false;
        if (a)
            a->caption = QStringLiteral("Couper le son");
        if (q) {
            q->setStatusTip(QStringLiteral("Le son est allumé.\r\nCliquer pour couper le son."));
            q->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
        }
    } else {
        apercu().volume(0);
        prefMute = true;
        if (a)
            a->caption = QStringLiteral("Remettre le son");
        if (q) {
            q->setStatusTip(QStringLiteral("Le son est coupé.\r\nCliquer pour remettre le son."));
            q->setIcon(style()->standardIcon(QStyle::SP_MediaVolumeMuted));
        }
    }
    appliquerEtatActions();
}

void TUIForm::avFullscreenExecute()
{
    base_->vw->basculerPleinEcran();
}

void TUIForm::incrustChange()
{
    // The next preview build places the overlay from the settings: they follow the sliders.
    prefIncrustX = base_->incrustHorz->value();
    prefIncrustY = 1000 - base_->incrustVert->value();
    if (ISuperposerParam3* s = apercu().superposer())
        s->SetPosition(base_->incrustHorz->value(), 1000 - base_->incrustVert->value(), 0);
}

void TUIForm::AppliquerPreferencesApercu(EtapeAppliquer etape)
{
    switch (etape) {
    case EtapeAppliquer::PositionIncrustation: {
        const QSignalBlocker h(base_->incrustHorz);
        const QSignalBlocker v(base_->incrustVert);
        base_->incrustHorz->setValue(prefIncrustX);
        base_->incrustVert->setValue(1000 - prefIncrustY);
        break;
    }
    case EtapeAppliquer::Son:
        // A stored "sound off" is applied by the sound command itself.
        if (prefMute) {
            prefMute = false;
            avMuteExecute();
        }
        break;
    case EtapeAppliquer::LegendeDatecode: {
        // The toggles show the state the settings bring back.
        const LegendeBascule datecode = LegendeAfficherDatecode(prefIncrustOn);
        legendeAction(QStringLiteral("amAfficherDatecode"), datecode.caption, datecode.image);
        break;
    }
    case EtapeAppliquer::BarresIncrustation:
        prefSlidersVisible = prefSlidersVisible && drapeauxFiltres().okIncrustation();
        legendeAction(QStringLiteral("amAfficherSliders"), LegendeAfficherSliders(prefSlidersVisible).caption, -1);
        base_->incrustHorz->setVisible(prefSlidersVisible);
        base_->incrustVert->setVisible(prefSlidersVisible);
        break;
    case EtapeAppliquer::Charger:
    case EtapeAppliquer::PlacerFenetre:
    case EtapeAppliquer::SeparateursDossiers:
    case EtapeAppliquer::RemplirPanneau:
        break; // not the preview's
    }
}

void TUIForm::RecueillirPreferencesApercu()
{
    prefIncrustX = base_->incrustHorz->value();
    prefIncrustY = 1000 - base_->incrustVert->value();
}

void TUIForm::creerPanneaux()
{
    centre_ = new QStackedWidget(this);
    auto* centre = new QSplitter(Qt::Horizontal, centre_);
    corps_ = centre;
    gauche_ = new QStackedWidget(centre);
    base_ = new TBaseFrame(gauche_);
    vide_ = new TVideFrame(gauche_);
    gauche_->addWidget(base_);
    gauche_->addWidget(vide_);
    // The list starts empty: the placeholder shows until a file comes in.
    gauche_->setCurrentWidget(vide_);
    // The panels lie over the whole window while they are shown.
    options_ = new TOptionsFrame(*pieces_.apercu, table_, *boite_, centre_);
    apropos_ = new TAproposFrame(centre_);
    connect(options_, &TOptionsFrame::fermer, this, [this] { montrerPanneaux(false, false); });
    connect(options_, &TOptionsFrame::sauverMaintenant, this, [this] {
        pieces_.preferences->RecueillirPreferences(*this);
        // Saved now: not again at exit, unless the box is ticked again.
        prefSauverPrefsEnQuittant = false;
    });
    connect(apropos_, &TAproposFrame::fermer, this, [this] { executer(QStringLiteral("afApropos")); });
    connect(base_, &TBaseFrame::copier, this, [](const QString& t) {
        if (!t.isEmpty())
            QGuiApplication::clipboard()->setText(t);
    });
    connect(base_, &TBaseFrame::nomClique, this, [this] { executer(QStringLiteral("amDossierParent")); });

    panneauListe_ = new QWidget(centre);
    auto* v = new QVBoxLayout(panneauListe_);
    v->setContentsMargins(0, 0, 0, 0);
    lb_ = new QListView(panneauListe_);
    lb_->setObjectName(QStringLiteral("lb"));
    lb_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lb_->setUniformItemSizes(true); // lines of one height: no relayout of every line per insertion
    lb_->setItemDelegate(new DelegueLigneListe(lb_));
    lb_->installEventFilter(this);
    lb_->viewport()->installEventFilter(this);
    lb_->setContextMenuPolicy(Qt::ActionsContextMenu);
    compteur_ = new QLabel(panneauListe_);
    compteur_->setObjectName(QStringLiteral("compteur"));
    v->addWidget(lb_, 1);
    v->addWidget(compteur_);
    centre->addWidget(gauche_);
    centre->addWidget(panneauListe_);
    centre->setStretchFactor(1, 1);
    centre_->addWidget(centre);
    centre_->addWidget(options_);
    centre_->addWidget(apropos_);
    setCentralWidget(centre_);
    panneauListe_->hide(); // the window starts with the list hidden

    // "Parcours de <folder>" can be long: the status text elides rather than widen the window.
    statut_ = new EtiquetteElidee(QStringLiteral("Prêt"));
    statut_->setObjectName(QStringLiteral("statut"));
    statusBar()->addWidget(statut_, 1);
    statusBar()->setToolTip(QStringLiteral("Tapez Echap pour interrompre une commande."));
}

QAction* TUIForm::qaction(const ActionFenetre& a)
{
    QAction* q = qactions_.value(a.nom);
    if (q)
        return q;
    q = new QAction(a.caption, this);
    q->setObjectName(a.nom);
    appliquerRaccourcis(q, a);
    q->setShortcutContext(Qt::ApplicationShortcut);
    q->setCheckable(a.checkable);
    const QString nom = a.nom;
    connect(q, &QAction::triggered, this, [this, nom] { executer(nom); });
    addAction(q);
    qactions_.insert(a.nom, q);
    return q;
}

void TUIForm::creerActions()
{
    for (const ActionFenetre& a : table_.actions)
        qaction(a);
}

QMenu* TUIForm::menuPrincipal(int index) const
{
    return index >= 0 && index < menus_.size() ? menus_[index] : nullptr;
}

void TUIForm::remplirMenu(QMenu* menu, const QStringList& entrees)
{
    for (const QString& e : entrees) {
        if (e == QLatin1String("-")) {
            menu->addSeparator();
        } else if (e.startsWith(QLatin1Char('>'))) {
            if (!menuTri_) {
                menuTri_ = menu->addMenu(QStringLiteral("Trier la  liste"));
            }
            menuTri_->addAction(action(e.mid(1)));
        } else if (QAction* q = action(e)) {
            menu->addAction(q);
        }
    }
}

void TUIForm::creerMenus()
{
    menuBar()->clear();
    menus_.clear();
    menuTri_ = nullptr;
    const auto& menus = MenusPrincipaux();
    for (size_t i = 0; i < menus.size(); ++i) {
        QMenu* m = menuBar()->addMenu(menus[i].titre);
        remplirMenu(m, menus[i].entrees);
        menus_ << m;
    }
    for (const EntreeMenuCommande& e : table_.menusCommandes) {
        QAction* q = action(e.action);
        if (QMenu* m = menuPrincipal(e.menu))
            m->addAction(q);
    }
    // Context menus and toolbars.
    auto ajouter = [this](QWidget* w, const QStringList& noms) {
        for (const QString& n : noms) {
            if (n == QLatin1String("-")) {
                auto* sep = new QAction(w);
                sep->setSeparator(true);
                w->addAction(sep);
            } else if (QAction* q = action(n)) {
                w->addAction(q);
            }
        }
    };
    ajouter(lb_, {"afOuvrirFichiers", "afCollerFichiers", "afOuvrirunDossier", "afOuvrirDossierPrefere", "afOuvrirTout", "-",
                  "afBasculerListe"});
    // The list's own sort submenu (one space in its title, unlike the menu bar's).
    if (!menuTriListe_) {
        menuTriListe_ = new QMenu(QStringLiteral("Trier la liste"), this);
        for (const char* n : {"afOrdreAlpha", "alTriDatecode", "alTriTaille", "alTrierModify"})
            menuTriListe_->addAction(action(QLatin1String(n)));
    }
    lb_->addAction(menuTriListe_->menuAction());
    ajouter(lb_, {"afSelectionnerTout", "-", "afSauverListe", "afViderListe", "afQuitter"});
    ajouter(vide_, entreesMenuFenetre());
    // The video's own menu: the only place the sliders toggle is offered.
    ajouter(base_->vw, {"avPlayStop", "avMute", "amAfficherDatecode", "amAfficherSliders", "avFullscreen"});
    barreGauche_ = addToolBar(QStringLiteral("Fichiers"));
    barreGauche_->setObjectName(QStringLiteral("barreGauche"));
    barreGauche_->setMovable(false);
    barreGauche_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Toolbar buttons show the desktop style's icons; the caption and shortcut are the tooltip.
    const std::pair<const char*, QStyle::StandardPixmap> icones[] = {
        {"afOuvrirFichiers", QStyle::SP_DialogOpenButton}, {"afCollerFichiers", QStyle::SP_FileDialogContentsView},
        {"afOuvrirDossierPrefere", QStyle::SP_DirHomeIcon}, {"amDossierParent", QStyle::SP_DirOpenIcon},
        {"avMute", prefMute ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume},
        {"afViderListe", QStyle::SP_TrashIcon}, {"afSelectionnerTout", QStyle::SP_DialogApplyButton},
        {"afOptions", QStyle::SP_FileDialogDetailedView}, {"afApropos", QStyle::SP_MessageBoxInformation},
        {"afQuitter", QStyle::SP_DialogCloseButton}};
    for (const auto& [nom, icone] : icones)
        if (QAction* q = action(QLatin1String(nom)))
            q->setIcon(style()->standardIcon(icone));
    if (const ActionFenetre* a = table_.chercher(QStringLiteral("amAfficherDatecode")))
        action(a->nom)->setIcon(IconeImage(*style(), a->image));
    for (const char* n : {"afOuvrirFichiers", "afCollerFichiers", "afOuvrirDossierPrefere", "amDossierParent", "avMute", "amAfficherDatecode"})
        barreGauche_->addAction(action(n));
    // The right toolbar stays against the window's right edge.
    auto* ressort = new QWidget(barreGauche_);
    ressort->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    barreGauche_->addWidget(ressort);
    barreDroite_ = barreGauche_;
    for (const char* n : {"afViderListe", "afSelectionnerTout", "afOptions", "afApropos", "afQuitter"})
        barreDroite_->addAction(action(n));
}

// The keys that trigger the action now; set only when they change (every paint asks).
void TUIForm::appliquerRaccourcis(QAction* q, const ActionFenetre& a)
{
    QList<QKeySequence> touches;
    for (uint16_t t : table_.RaccourcisEffectifs(a))
        for (const QKeyCombination c : CombinaisonsClavier(t))
            touches << QKeySequence(c);
    if (q->shortcuts() != touches)
        q->setShortcuts(touches);
}

QStringList TUIForm::entreesMenuFenetre()
{
    return {"afOuvrirFichiers", "afCollerFichiers", "afOuvrirDossierPrefere", "-", "afOptions", "afApropos", "afQuitter"};
}

// The window's own context menu, in place of Qt's toolbar toggles (which
// could hide the toolbar for good).
QMenu* TUIForm::createPopupMenu()
{
    auto* menu = new QMenu(this);
    for (const QString& n : entreesMenuFenetre()) {
        if (n == QLatin1String("-"))
            menu->addSeparator();
        else if (QAction* q = action(n))
            menu->addAction(q);
    }
    return menu;
}

void TUIForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!premierAffichageFait_) {
        premierAffichageFait_ = true;
        PremierAffichage();
    }
}

// First showing of the window, in order; an error skips the remaining steps.
void TUIForm::PremierAffichage()
{
    try {
        base_->TextesPanneau();
        options_->internationalize();
        apropos_->internationalize();
        vide_->AfficherVide();
        panneauListe_->hide();
        listeVisible_ = false;
        etatActions.clear();
        pieces_.filtres->VerifierFiltres();
        pieces_.preferences->AppliquerPreferences(*this);
        chargerPlaylistAuPremierAffichage_ = prefSauverListeEnQuittant;
        liste_.focaliser(-1);
        pieces_.commandes->EnregistrerCommandes(tch_);
        apropos_->AfficherPlugins(pagePlugins());
        table_.JoindreCommandes();
        table_.RetirerNonLiees([this](const QString& nom) { return gereeParFenetre(nom); });
        table_.RemplirCommandes();
        for (const ActionFenetre& a : table_.actions)
            qaction(a);
        creerMenus();
        table_.RestaurerChoix(etatActions, prefFichierStillex);
        options_->RemplirCommandes();
        appliquerEtatActions();
        pieces_.ligneCommande->ConstruireSwitches(*this);
        apropos_->RemplirLigneCommande();
        apropos_->EcrireRapport(LignesRapportSysteme(), *boite_);
        abandonDemande = false;
        abandonTout = false;
        lignePendante_ = pieces_.ligneCommande->Demarrer(*this);
        if (!lignePendante_)
            MajStatut();
    } catch (const std::exception&) {
    }
    if (!lignePendante_)
        base_->ecrireOurs();
}

void TUIForm::paintEvent(QPaintEvent* e)
{
    QMainWindow::paintEvent(e);
    // One queued call for both: reading the playlist pumps events, and a
    // second queued call would start the command line in the middle of it.
    const bool playlist = prendrePlaylistEnAttente();
    const bool ligne = lignePendante_;
    lignePendante_ = false;
    if (playlist || ligne) {
        QMetaObject::invokeMethod(
            this,
            [this, playlist, ligne] {
                if (playlist)
                    LirePlaylist(prefDossierPlayList + kNomPlaylistDefaut);
                if (ligne)
                    pieces_.ligneCommande->PremierePeinture(*this);
            },
            Qt::QueuedConnection);
    }
    MajCommandes();
}

void TUIForm::closeEvent(QCloseEvent* e)
{
    base_->timer1->stop();
    chargementEnCours = false;
    abandonDemande = true;
    abandonTout = true;
    Dirscan1.Stop();
    apercu().desactiver();
    if (auto* rapport = findChild<TRiffForm*>())
        rapport->close(); // stops a report being written
    pieces_.ligneCommande->Liberer(*this);
    e->accept();
}

bool TUIForm::prendrePlaylistEnAttente()
{
    const bool attente = chargerPlaylistAuPremierAffichage_;
    chargerPlaylistAuPremierAffichage_ = false;
    return attente;
}

void TUIForm::surInactivite()
{
    // Only the window's own loop going idle counts, not a dialog's loop nor a
    // run's wait for its conversion (which blocks in the window's loop level).
    if (QThread::currentThread()->loopLevel() != 1 || travauxEnCours > 0 || !isVisible())
        return;
    if (isActiveWindow() && lb_->isEnabled() && !panneauAffiche() && listeVisible_ && !lb_->hasFocus())
        lb_->setFocus();
    abandonDemande = false;
    abandonTout = false;
    chargementEnCours = false;
    if (statut_->text() != QLatin1String("Prêt"))
        statut_->setText(QStringLiteral("Prêt"));
}

QStringList TUIForm::CheminsDe(const QMimeData* d)
{
    QStringList chemins;
    if (!d)
        return chemins;
    QList<QUrl> urls = d->urls();
    // GNOME and other file managers put "copy" or "cut" and then the URLs.
    for (const char* format : {"x-special/gnome-copied-files", "x-special/mate-copied-files", "x-special/nautilus-clipboard"}) {
        if (urls.isEmpty() && d->hasFormat(QLatin1String(format))) {
            const QStringList lignes = QString::fromUtf8(d->data(QLatin1String(format))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (const QString& l : lignes)
                if (l.startsWith(QLatin1String("file:")))
                    urls << QUrl(l.trimmed());
        }
    }
    for (const QUrl& u : urls)
        if (u.isLocalFile())
            chemins << u.toLocalFile();
    return chemins;
}

int TUIForm::AjouterFichier(const QString& chemin)
{
    if (chemin.size() > kLongueurNomMax)
        return -1;
    const int k = liste_.AjouterFichier(chemin);
    if (k >= 0)
        MajStatut();
    return k;
}

void TUIForm::DebutOperation(const QString& texte)
{
    if (abandonDemande)
        return;
    avaitEntreeCourante_ = liste_.entreeCourante() != nullptr;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    texteStatut(texte);
    chargementEnCours = true;
}

void TUIForm::FinOperation()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (!avaitEntreeCourante_ && liste_.nombre() > 0) {
        if (liste_.nombreSelectionnees() == 0) {
            liste_.focaliser(0);
            liste_.selectionner(0, true);
        }
        MajStatut();
        MajCommandes();
        if (const EntreePtr e = liste_.entreeCourante())
            montrerEntree(*e);
    }
    avaitEntreeCourante_ = true;
    chargementEnCours = false;
    abandonDemande = false;
    if (selectionAAfficher_)
        afficherSelection(); // the counter as the load left it, at once
    MajCommandes(); // what the new lines allow is offered at once
}

void TUIForm::AjouterFichiers(const QStringList& chemins, const QString& texte, bool interruptible)
{
    DebutOperation(texte);
    for (const QString& c : chemins) {
        // Events first, so that an Esc pressed meanwhile stops before the next file.
        pomper();
        if (interruptible && abandonDemande)
            break;
        AjouterFichier(c);
    }
    FinOperation();
}

void TUIForm::ParcourirDossier(const QString& dossier)
{
    Dirscan1.setDirectory(dossier);
    Dirscan1.recursive = true;
    Dirscan1.Masque = QStringLiteral("*.*");
    Dirscan1.memeSystemeFichiers = false;
    Dirscan1.nonParcourus.clear();
    Dirscan1.Scan();
}

void TUIForm::LirePlaylist(const QString& chemin)
{
    if (!QFileInfo(chemin).isFile())
        return;
    DebutOperation(QStringLiteral("Ouvrir la playlist ") + chemin);
    if (!abandonDemande)
        korvan::LirePlaylist(
            chemin,
            [this](const QString& p) {
                if (abandonDemande)
                    return false;
                AjouterFichier(p);
                return !abandonDemande.load();
            },
            pomper);
    FinOperation();
}

bool TUIForm::EcrirePlaylist(const QString& chemin)
{
    pomper();
    const QString erreur = korvan::EcrirePlaylist(chemin, liste_, prefFormatAfficher);
    if (!erreur.isEmpty()) {
        if (isVisible())
            QMessageBox::critical(this, QStringLiteral("Erreur"), erreur);
        return false;
    }
    return true;
}

void TUIForm::TrierListe(TOrdreTri ordre)
{
    liste_.TrierListe(ordre);
    MajStatut();
}

// "Coller" is offered exactly when the clipboard holds files.
void TUIForm::majColler()
{
    if (ActionFenetre* c = table_.chercher(QStringLiteral("afCollerFichiers"))) {
        c->enabled = !CheminsDe(QGuiApplication::clipboard()->mimeData()).isEmpty();
        qaction(*c)->setEnabled(c->enabled);
    }
}

void TUIForm::basculerListe()
{
    listeVisible_ = !listeVisible_;
    panneauListe_->setVisible(listeVisible_);
    if (ActionFenetre* a = table_.chercher(QStringLiteral("afBasculerListe")))
        a->caption = listeVisible_ ? QStringLiteral("Masquer la Liste") : QStringLiteral("Afficher la liste");
    MajCommandes();
}

bool TUIForm::placeholderVisible() const
{
    return gauche_->currentWidget() == vide_;
}

void TUIForm::montrerPanneaux(bool options, bool apropos)
{
    apropos = apropos && !options;
    // The panel leaving gives the window its width back before the other one takes it.
    if (optionsAffiche_ && !options)
        MasquerOptions();
    if (aproposAffiche_ && !apropos)
        MasquerApropos();
    if (options && !optionsAffiche_)
        AfficherOptions();
    if (apropos)
        AfficherApropos();
    if (QAction* a = action(QStringLiteral("afOptions")))
        a->setChecked(optionsAffiche_);
    if (QAction* a = action(QStringLiteral("afApropos")))
        a->setChecked(aproposAffiche_);
    table_.etatCategories = CategoriesSelon(panneauAffiche(), liste_.nombre());
    MajCommandes();
}

void TUIForm::dimensionnerPourPanneau(QWidget* panneau)
{
    largeurAvantPanneau_ = width();
    centre_->setCurrentWidget(panneau);
    panneau->raise();
    const QSize voulue = panneau->sizeHint().expandedTo(panneau->minimumSizeHint());
    resize(voulue.width(), std::max(height(), voulue.height() + height() - centre_->height()));
}

void TUIForm::AfficherOptions()
{
    options_->AfficherOptions(drapeauxFiltres().okIncrustation());
    dimensionnerPourPanneau(options_);
    optionsAffiche_ = true;
    // The space bar types in the panel's boxes instead of playing the preview.
    if (ActionFenetre* lecture = table_.chercher(QStringLiteral("avPlayStop"))) {
        raccourciLecture_ = lecture->raccourci;
        lecture->raccourci = 0;
    }
}

void TUIForm::MasquerOptions()
{
    optionsAffiche_ = false;
    centre_->setCurrentWidget(corps_);
    if (largeurAvantPanneau_ > 0)
        resize(largeurAvantPanneau_, height());
    if (ActionFenetre* lecture = table_.chercher(QStringLiteral("avPlayStop")))
        lecture->raccourci = raccourciLecture_;
}

void TUIForm::AfficherApropos()
{
    apropos_->AfficherApropos(pageApropos_);
    if (!aproposAffiche_)
        dimensionnerPourPanneau(apropos_);
    aproposAffiche_ = true;
}

void TUIForm::MasquerApropos()
{
    pageApropos_ = apropos_->page();
    aproposAffiche_ = false;
    centre_->setCurrentWidget(corps_);
    if (largeurAvantPanneau_ > 0)
        resize(largeurAvantPanneau_, height());
}

int TUIForm::pageApropos() const
{
    return aproposAffiche_ ? apropos_->page() : pageApropos_;
}

void TUIForm::MajStatut()
{
    if (chargementEnCours && liste_.nombre() > 1 && !panneauAffiche() && !listeVisible_)
        basculerListe();
    if (liste_.nombre() == 0) {
        vide_->AfficherVide();
        gauche_->setCurrentWidget(vide_);
    } else if (gauche_->currentWidget() != base_) {
        gauche_->setCurrentWidget(base_);
    }
    table_.etatCategories = CategoriesSelon(panneauAffiche(), liste_.nombre());
    liste_.selectionnerFocus();
    // During a load the counter and the tooltip are written once per turn of
    // the event loop, before the window paints them, not once per file.
    if (chargementEnCours) {
        demanderAffichageSelection();
        return;
    }
    compteur_->setText(liste_.texteCompteur());
    lb_->setToolTip(liste_.texteInfobulle());
}

void TUIForm::demanderAffichageSelection()
{
    if (selectionAAfficher_)
        return;
    selectionAAfficher_ = true;
    QMetaObject::invokeMethod(this, [this] { afficherSelection(); }, Qt::QueuedConnection);
}

void TUIForm::SelectionChangee()
{
    MajStatut();
    if (const EntreePtr e = liste_.entreeCourante()) {
        montrerEntree(*e);
    } else {
        base_->ViderInfos();
        base_->AfficherCode(5);
    }
    MajCommandes();
}

void TUIForm::MajCommandes()
{
    table_.MajCommandes({listeVisible_, lb_->isEnabled(), panneauAffiche()}, liste_);
    appliquerEtatActions();
}

void TUIForm::appliquerEtatActions()
{
    for (const ActionFenetre& a : table_.actions) {
        QAction* q = qaction(a);
        // The menus show the program's own key names ("Suppr", "Barre d'Espace"),
        // given after a tab, rather than Qt's.
        q->setText(a.raccourci ? a.caption + QLatin1Char('\t') + ShortCutToText(a.raccourci) : a.caption);
        appliquerRaccourcis(q, a);
        q->setToolTip(a.raccourci ? a.caption + QStringLiteral(" (") + ShortCutToText(a.raccourci) + QLatin1Char(')') : a.caption);
        q->setVisible(a.visible);
        q->setEnabled(a.enabled);
    }
    for (int i = 0; i < menus_.size(); ++i)
        menus_[i]->menuAction()->setVisible(table_.MenuVisible(i, panneauAffiche()));
    for (QMenu* tri : {menuTri_, menuTriListe_})
        if (tri)
            tri->menuAction()->setVisible(action(QStringLiteral("afOrdreAlpha"))->isVisible());
}

void TUIForm::desactiverActionsListeEtMulti()
{
    for (ActionFenetre& a : table_.actions) {
        const int c = categorieIndex(a.categorie);
        if (c == catListe || c == catMulti) {
            a.enabled = false;
            qaction(a)->setEnabled(false);
        }
    }
}

void TUIForm::montrerCurseurPosition(bool) {}

void TUIForm::montrerJauge(bool visible)
{
    base_->Gauge1->setVisible(visible);
}

void TUIForm::definirJauge(int pourcent)
{
    base_->Gauge1->setValue(pourcent);
}

void TUIForm::texteStatut(const QString& texte)
{
    statut_->setText(texte);
}

void TUIForm::afficherSelection()
{
    selectionAAfficher_ = false;
    compteur_->setText(liste_.texteCompteur());
    lb_->setToolTip(liste_.texteInfobulle());
    // A long load ends with MajCommandes (FinOperation); asking every
    // command's conditions on each new line would only slow it down.
    if (!chargementEnCours)
        MajCommandes();
}

bool TUIForm::eventFilter(QObject* objet, QEvent* e)
{
    if (objet == lb_->viewport() && e->type() == QEvent::MouseButtonRelease) {
        SelectionChangee();
    } else if (objet == lb_ && e->type() == QEvent::KeyRelease) {
        const auto* k = static_cast<QKeyEvent*>(e);
        static const QSet<int> navigation{Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Up, Qt::Key_Down};
        if (navigation.contains(k->key()) && !(k->modifiers() & Qt::ControlModifier)) {
            SelectionChangee();
        }
    }
    return QMainWindow::eventFilter(objet, e);
}

void TUIForm::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TUIForm::dropEvent(QDropEvent* e)
{
    const QStringList chemins = CheminsDe(e->mimeData());
    e->acceptProposedAction();
    // A drop cannot be interrupted.
    AjouterFichiers(chemins, QStringLiteral("Ouvrir des fichiers glissés"), false);
}

void TUIForm::executer(const QString& nom)
{
    if (const auto g = gestionnaires_.constFind(nom); g != gestionnaires_.constEnd()) {
        (*g)();
    } else if (const ActionFenetre* a = table_.chercher(nom)) {
        // A copy: the run may change the table (captions, states) under it.
        const ActionFenetre action = *a;
        executeur_->Executer(action);
    }
}

bool TUIForm::actionLiee(const QString& nom) const
{
    const ActionFenetre* a = table_.chercher(nom);
    return a && ActionLiee(*a, [this](const QString& n) { return gereeParFenetre(n); });
}

void TUIForm::montrerApropos(int page)
{
    pageApropos_ = page;
    montrerPanneaux(false, true);
}

void TUIForm::creerGestionnaires()
{
    auto interrompre = [this](bool tout) {
        abandonDemande = true;
        if (tout)
            abandonTout = true;
        Dirscan1.Stop();
    };
    gestionnaires_ = {
        {QStringLiteral("afQuitter"), [this] { close(); }},
        {QStringLiteral("afCollerFichiers"),
         [this] { AjouterFichiers(CheminsDe(QGuiApplication::clipboard()->mimeData()), QStringLiteral("Coller des Fichiers")); }},
        {QStringLiteral("afOuvrirFichiers"), [this] { ouvrirFichiersDialogue(); }},
        {QStringLiteral("afBasculerListe"), [this] { basculerListe(); }},
        {QStringLiteral("afInterrompre"), [interrompre] { interrompre(false); }},
        {QStringLiteral("afInterrompreTous"), [interrompre] { interrompre(true); }},
        {QStringLiteral("afOrdreAlpha"), [this] { TrierListe(otAlpha); }},
        {QStringLiteral("alTriDatecode"), [this] { TrierListe(otDatecode); }},
        {QStringLiteral("alTriTaille"), [this] { TrierListe(otTaille); }},
        {QStringLiteral("alTrierModify"), [this] { TrierListe(otDateFichier); }},
        {QStringLiteral("afOuvrirDossierPrefere"), [this] { ouvrirDossierPrefere(); }},
        {QStringLiteral("afOuvrirunDossier"), [this] { ouvrirDossierChoisi(); }},
        {QStringLiteral("afOuvrirTout"), [this] { ouvrirTout(); }},
        {QStringLiteral("afSelectionnerTout"),
         [this] {
             liste_.selectionnerTout();
             MajStatut();
         }},
        {QStringLiteral("afViderListe"),
         [this] {
             apercu().Arreter();
             liste_.Vider();
             MajStatut();
             MajCommandes();
         }},
        {QStringLiteral("afSauverListe"), [this] { sauverListeSous(); }},
        {QStringLiteral("afOuvrirPlayList"), [this] { ouvrirPlaylistChoisie(); }},
        {QStringLiteral("afOuvrirDefaultPlayList"), [this] { LirePlaylist(prefDossierPlayList + kNomPlaylistDefaut); }},
        {QStringLiteral("afOptions"), [this] { montrerPanneaux(!optionsAffiche_, false); }},
        {QStringLiteral("afApropos"), [this] { montrerPanneaux(false, !aproposAffiche_); }},
        // The preview.
        {QStringLiteral("avPlayStop"), [this] { avPlayStopExecute(); }},
        {QStringLiteral("avFullscreen"), [this] { avFullscreenExecute(); }},
        {QStringLiteral("avMute"), [this] { avMuteExecute(); }},
        {QStringLiteral("avanceLow"), [this] { base_->aeAvanceLow(); }},
        {QStringLiteral("reculeLow"), [this] { base_->aeReculeLow(); }},
        {QStringLiteral("avanceMedium"), [this] { base_->aeAvanceMedium(); }},
        {QStringLiteral("ReculeMedium"), [this] { base_->aeReculeMedium(); }},
        {QStringLiteral("avanceHigh"), [this] { base_->aeAvanceHigh(); }},
        {QStringLiteral("ReculeHigh"), [this] { base_->aeReculeHigh(); }},
        {QStringLiteral("avAvanceFin"), [this] { base_->aeAvanceEnd(); }},
        {QStringLiteral("avReculeDebut"), [this] { base_->aeReculeStart(); }},
        {QStringLiteral("AvanceScene"), [this] { base_->aeAvanceScene(); }},
        {QStringLiteral("ReculeScene"), [this] { base_->aeReculeScene(); }},
    };
}

void TUIForm::ouvrirFichiersDialogue()
{
    DebutOperation(QStringLiteral("Chargement de fichiers"));
    if (!abandonDemande) {
        QString filtre = QStringLiteral("Fichiers ") + extensionsVideo().first() + QStringLiteral(" (");
        for (const QString& ext : extensionsVideo())
            filtre += QStringLiteral("*.") + ext + QLatin1Char(' ');
        filtre = filtre.trimmed() + QLatin1Char(')');
        const QStringList choisis = QFileDialog::getOpenFileNames(this, QString(), prefDossierOuvrir, filtre);
        for (const QString& c : choisis) {
            pomper();
            if (abandonDemande)
                break;
            AjouterFichier(c);
        }
    }
    FinOperation();
}

void TUIForm::ouvrirDossierPrefere()
{
    DebutOperation(QStringLiteral("Parcours d'un dossier"));
    if (!abandonDemande) {
        try {
            ParcourirDossier(prefDossierAuto);
        } catch (const std::exception&) {
            abandonDemande = false;
        }
    }
    FinOperation();
}

void TUIForm::ouvrirDossierChoisi()
{
    DebutOperation(QStringLiteral("Parcourir un Dossier"));
    const QString dossier = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Sélectionnez le Dossier contenant les fichiers AVI à ouvrir"),
        QDir(prefDossierOuvrir).exists() ? prefDossierOuvrir : QString());
    if (!dossier.isEmpty())
        ParcourirDossier(dossier);
    FinOperation();
}

void TUIForm::ouvrirTout()
{
    DebutOperation(QStringLiteral("Chargement de tous les fichiers AVI"));
    ParcourirDisques(Dirscan1, DisquesFixes(), [] { return abandonDemande.load(); });
    FinOperation();
}

void TUIForm::sauverListeSous()
{
    QString chemin = QFileDialog::getSaveFileName(this, QString(), prefDossierPlayList, QStringLiteral("playlist (*.txt)"));
    if (chemin.isEmpty())
        return;
    if (QFileInfo(chemin).suffix().isEmpty())
        chemin += QStringLiteral(".txt");
    EcrirePlaylist(chemin);
}

void TUIForm::ouvrirPlaylistChoisie()
{
    const QString chemin = QFileDialog::getOpenFileName(this, QString(), prefDossierPlayList, QStringLiteral("playlist (*.txt)"));
    if (!chemin.isEmpty())
        LirePlaylist(chemin);
}

} // namespace korvan
