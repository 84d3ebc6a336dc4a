#include "ui/options_frame.h"

#include "commands/actions_fenetre.h"
#include "pipelines/options_apercu.h"
#include "platform/identite_programme.h"
#include "platform/preferences.h"
#include "ui/dialogue_police.h"

#include <QAbstractListModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace korvan {

// The "Commandes" check list over the window's own items: a tick reaches the
// table at once, and the actions at the next MajCommandes.
class ModeleCommandes : public QAbstractListModel {
public:
    ModeleCommandes(TableActions& table, QObject* parent) : QAbstractListModel(parent), table_(table) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(table_.itemsCommandes.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!valide(index))
            return {};
        const ItemCommande& item = table_.itemsCommandes[size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            return item.texte;
        case Qt::CheckStateRole:
            return item.coche ? Qt::Checked : Qt::Unchecked;
        case Qt::ToolTipRole:
            return item.fixe ? QStringLiteral("Cette commande ne peut pas être désactivée.") : QVariant();
        default:
            return {};
        }
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!valide(index))
            return Qt::NoItemFlags;
        const bool fixe = table_.itemsCommandes[size_t(index.row())].fixe;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | (fixe ? Qt::NoItemFlags : Qt::ItemIsUserCheckable);
    }
    bool setData(const QModelIndex& index, const QVariant& valeur, int role) override
    {
        if (!valide(index) || role != Qt::CheckStateRole)
            return false;
        ItemCommande& item = table_.itemsCommandes[size_t(index.row())];
        if (item.fixe)
            return false;
        item.coche = valeur.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    void recharger()
    {
        beginResetModel();
        endResetModel();
    }
    void toutCocher()
    {
        for (ItemCommande& item : table_.itemsCommandes)
            if (!item.fixe)
                item.coche = true;
        if (!table_.itemsCommandes.empty())
            emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
    }

private:
    bool valide(const QModelIndex& index) const
    {
        return index.isValid() && index.row() >= 0 && size_t(index.row()) < table_.itemsCommandes.size();
    }
    TableActions& table_;
};

namespace {

using C = ControleOptions;

QString legende(ControleOptions c)
{
    return QString::fromUtf8(descripteur(c).legende);
}

} // namespace

TOptionsFrame::TOptionsFrame(Tviewdm& apercu, TableActions& table, BoiteMessage& boite, QWidget* parent)
    : TPanneauFenetre(QStringLiteral("OptionsFrame"), parent), apercu_(apercu), table_(table), boite_(boite)
{
    pages->addTab(creerPagePreferences(), QString());
    pages->addTab(creerPageCommandes(), QString());
    pages->addTab(creerPageFormats(), QString());
    pages->addTab(creerPageDossiers(), QString());

    for (const DescripteurControle& d : descripteursOptions()) {
        Q_ASSERT(widgets_[size_t(d.controle)]);
        widgets_[size_t(d.controle)]->setObjectName(QLatin1String(d.nom));
        brancher(d.controle);
    }
}

QLineEdit* TOptionsFrame::boiteTexte(ControleOptions c, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    widgets_[size_t(c)] = e;
    return e;
}

// A folder or file box: the line edit and its browse button, in one row.
QWidget* TOptionsFrame::boiteAvecParcourir(ControleOptions c, QWidget* parent)
{
    auto* rangee = new QWidget(parent);
    auto* h = new QHBoxLayout(rangee);
    h->setContentsMargins(0, 0, 0, 0);
    QLineEdit* e = boiteTexte(c, rangee);
    e->setMinimumWidth(320);
    auto* b = new QToolButton(rangee);
    b->setText(QStringLiteral("..."));
    b->setObjectName(QLatin1String(descripteur(c).nom) + QStringLiteral("Parcourir"));
    boutonsParcourir_[size_t(c)] = b;
    if (descripteur(c).genre == GenreControle::Fichier)
        connect(b, &QToolButton::clicked, this, &TOptionsFrame::choisirStillex);
    else
        connect(b, &QToolButton::clicked, this, [this, c] { choisirDossier(c); });
    h->addWidget(e, 1);
    h->addWidget(b);
    return rangee;
}

QWidget* TOptionsFrame::creerPagePreferences()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* haut = new QGridLayout;
    auto* cases = new QVBoxLayout;
    for (ControleOptions c : {C::cbPrefsQuittant, C::cbSendTo, C::cbSelection, C::cbListe}) {
        auto* b = new QCheckBox(page);
        widgets_[size_t(c)] = b;
        cases->addWidget(b);
    }
    cases->addStretch(1);
    auto* boutons = new QVBoxLayout;
    btnSauverMaintenant = new QPushButton(page);
    btnSauverMaintenant->setObjectName(QStringLiteral("btnSauverMaintenant"));
    connect(btnSauverMaintenant, &QPushButton::clicked, this, &TOptionsFrame::sauverMaintenant);
    btnEffacer = new QPushButton(page);
    btnEffacer->setObjectName(QStringLiteral("btnEffacer"));
    connect(btnEffacer, &QPushButton::clicked, this, [this] { EffacerPreferencesOptions(*this, boite_); });
    boutons->addWidget(btnSauverMaintenant);
    boutons->addWidget(btnEffacer);
    boutons->addStretch(1);
    haut->addLayout(cases, 0, 0);
    haut->addLayout(boutons, 0, 1);
    haut->setColumnStretch(0, 1);
    v->addLayout(haut);

    auto* milieu = new QHBoxLayout;
    auto* standard = new QGroupBox(page);
    widgets_[size_t(C::rgStandard)] = standard;
    auto* hs = new QHBoxLayout(standard);
    groupeStandard_ = new QButtonGroup(standard);
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(standard);
        r->setObjectName(i == 0 ? QStringLiteral("rbPal") : QStringLiteral("rbNtsc"));
        groupeStandard_->addButton(r, i);
        hs->addWidget(r);
    }
    milieu->addWidget(standard);
    auto* stillex = new QVBoxLayout;
    legendes_[size_t(C::feFichierStillex)] = new QLabel(page);
    stillex->addWidget(legendes_[size_t(C::feFichierStillex)]);
    stillex->addWidget(boiteAvecParcourir(C::feFichierStillex, page));
    milieu->addLayout(stillex, 1);
    v->addLayout(milieu);

    gbIncrustation = new QGroupBox(page);
    gbIncrustation->setObjectName(QStringLiteral("gbIncrustation"));
    auto* g = new QGridLayout(gbIncrustation);
    auto* autoIncrust = new QCheckBox(gbIncrustation);
    widgets_[size_t(C::cbAutoIncrust)] = autoIncrust;
    QLineEdit* duree = boiteTexte(C::edDureeIncrust, gbIncrustation);
    duree->setMaximumWidth(70);
    legendes_[size_t(C::edDureeIncrust)] = new QLabel(gbIncrustation);
    auto* decalage = new QSpinBox(gbIncrustation);
    decalage->setRange(-23, 23);
    // Only a value the user is done with counts (box left, arrows, Enter).
    decalage->setKeyboardTracking(false);
    widgets_[size_t(C::RxSpinEdit1)] = decalage;
    legendes_[size_t(C::RxSpinEdit1)] = new QLabel(gbIncrustation);
    auto* police = new QPushButton(gbIncrustation);
    widgets_[size_t(C::sbIncrustFont)] = police;
    auto* tailleAuto = new QCheckBox(gbIncrustation);
    widgets_[size_t(C::cbAutoFontSize)] = tailleAuto;
    g->addWidget(autoIncrust, 0, 0);
    g->addWidget(duree, 0, 1);
    g->addWidget(legendes_[size_t(C::edDureeIncrust)], 0, 2);
    g->addWidget(legendes_[size_t(C::RxSpinEdit1)], 1, 0);
    g->addWidget(decalage, 1, 1);
    g->addWidget(police, 2, 0);
    g->addWidget(tailleAuto, 2, 1, 1, 2);
    g->setColumnStretch(3, 1);
    v->addWidget(gbIncrustation);
    labSansIncrustation = new QLabel(page);
    labSansIncrustation->setObjectName(QStringLiteral("labSansIncrustation"));
    labSansIncrustation->setWordWrap(true);
    labSansIncrustation->hide();
    v->addWidget(labSansIncrustation);
    v->addStretch(1);
    return page;
}

QWidget* TOptionsFrame::creerPageCommandes()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    labAideCommandes = new QLabel(page);
    labAideCommandes->setObjectName(QStringLiteral("labAideCommandes"));
    labAideCommandes->setWordWrap(true);
    v->addWidget(labAideCommandes);
    modeleCommandes_ = new ModeleCommandes(table_, this);
    RxCheckListBox1 = new QListView(page);
    RxCheckListBox1->setObjectName(QStringLiteral("RxCheckListBox1"));
    RxCheckListBox1->setModel(modeleCommandes_);
    RxCheckListBox1->setUniformItemSizes(true);
    v->addWidget(RxCheckListBox1, 1);
    auto* bas = new QHBoxLayout;
    btnSelectionnerTout = new QPushButton(page);
    btnSelectionnerTout->setObjectName(QStringLiteral("btnSelectionnerTout"));
    connect(btnSelectionnerTout, &QPushButton::clicked, this, &TOptionsFrame::SelectionnerTout);
    bas->addWidget(btnSelectionnerTout);
    bas->addStretch(1);
    v->addLayout(bas);
    return page;
}

QWidget* TOptionsFrame::creerPageFormats()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* f = new QFormLayout;
    for (ControleOptions c : {C::edAjouter, C::edAfficher, C::edRacine, C::edRenommer}) {
        legendes_[size_t(c)] = new QLabel(page);
        f->addRow(legendes_[size_t(c)], boiteTexte(c, page));
    }
    v->addLayout(f);
    labAideFormats = new QLabel(page);
    labAideFormats->setObjectName(QStringLiteral("labAideFormats"));
    labAideFormats->setWordWrap(true);
    v->addWidget(labAideFormats);
    v->addStretch(1);
    return page;
}

QWidget* TOptionsFrame::creerPageDossiers()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    for (ControleOptions c : {C::edDossierOuvrir, C::edDossierAuto, C::edDossierPlayList}) {
        legendes_[size_t(c)] = new QLabel(page);
        v->addWidget(legendes_[size_t(c)]);
        v->addWidget(boiteAvecParcourir(c, page));
        v->addSpacing(6);
    }
    auto* meme = new QCheckBox(page);
    widgets_[size_t(C::cbsameFolder)] = meme;
    v->addWidget(meme);
    legendes_[size_t(C::edDossierSave)] = new QLabel(page);
    v->addWidget(legendes_[size_t(C::edDossierSave)]);
    v->addWidget(boiteAvecParcourir(C::edDossierSave, page));
    v->addStretch(1);
    return page;
}

// Each control's signal runs its handler at the moment the table gives.
void TOptionsFrame::brancher(ControleOptions c)
{
    QWidget* w = controle(c);
    switch (descripteur(c).genre) {
    case GenreControle::Case:
        // toggled, not clicked: a box set by the fill runs its handler too.
        connect(static_cast<QAbstractButton*>(w), &QAbstractButton::toggled, this, [this, c] { EvenementOptions(c, *this); });
        break;
    case GenreControle::Texte:
    case GenreControle::Dossier:
    case GenreControle::Entier:
        connect(static_cast<QLineEdit*>(w), &QLineEdit::editingFinished, this, [this, c] { EvenementOptions(c, *this); });
        break;
    case GenreControle::Decalage:
        connect(static_cast<QSpinBox*>(w), &QSpinBox::valueChanged, this, [this, c] { EvenementOptions(c, *this); });
        break;
    case GenreControle::Police:
        connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked, this, &TOptionsFrame::choisirPolice);
        break;
    case GenreControle::Choix:
    case GenreControle::Fichier:
        break; // collected only
    }
}

void TOptionsFrame::internationalize()
{
    labTitre->setText(texteTitre());
    pages->setTabText(int(PageOptions::Preferences), QStringLiteral("Préférences"));
    pages->setTabText(int(PageOptions::Commandes), QStringLiteral("Commandes"));
    pages->setTabText(int(PageOptions::Formats), QStringLiteral("Formats"));
    pages->setTabText(int(PageOptions::Dossiers), QStringLiteral("Dossiers"));
    btnFermer->setText(QStringLiteral("Fermer"));
    btnFermer->setToolTip(QStringLiteral("Fermer la fenêtre des Options.") + u'\n'
                          + QStringLiteral("On peut aussi taper F10 au clavier."));
    btnSauverMaintenant->setText(QStringLiteral("Sauver les préférences maintenant"));
    btnEffacer->setText(QStringLiteral("Effacer les préférences"));
    for (const DescripteurControle& d : descripteursOptions()) {
        const QString texte = legende(d.controle);
        if (QLabel* l = legendes_[size_t(d.controle)])
            l->setText(texte);
        else if (auto* b = qobject_cast<QAbstractButton*>(controle(d.controle)))
            b->setText(texte);
        else if (auto* g = qobject_cast<QGroupBox*>(controle(d.controle)))
            g->setTitle(texte);
    }
    legendes_[size_t(C::feFichierStillex)]->setText(QStringLiteral("Programme Stillex (captures d'images) :"));
    groupeStandard_->button(0)->setText(QStringLiteral("Pal"));
    groupeStandard_->button(1)->setText(QStringLiteral("Ntsc"));
    gbIncrustation->setTitle(QStringLiteral("Incrustation"));
    controle(C::cbAutoIncrust)->setToolTip(QStringLiteral("Le datecode n'est incrusté que pendant la durée choisie après chaque "
                                                          "changement de scène (vidéos DV seulement)."));
    controle(C::RxSpinEdit1)->setToolTip(QStringLiteral("Heures ajoutées à l'heure d'enregistrement (de -23 à 23)."));
    labSansIncrustation->setText(TexteSansIncrustation().trimmed());
    labAideCommandes->setText(QStringLiteral("Décochez les commandes que vous n'utilisez pas : elles disparaissent des menus, "
                                             "de la barre d'outils et du clavier. Les commandes que votre système ne permet pas "
                                             "ne figurent pas dans la liste."));
    btnSelectionnerTout->setText(QStringLiteral("Sélectionner tout"));
    labAideFormats->setText(QStringLiteral("dd jour, mm mois, yyyy année, hh heures, nn minutes, ss secondes ; "
                                           "ddddd la date courte, mmmm le nom du mois. Les autres caractères sont recopiés."));
    for (ControleOptions c : {C::edDossierOuvrir, C::edDossierAuto, C::edDossierPlayList, C::edDossierSave})
        parcourir(c)->setToolTip(QStringLiteral("Choisir le dossier"));
    parcourir(C::feFichierStillex)->setToolTip(QStringLiteral("Choisir le programme"));
}

void TOptionsFrame::AfficherOptions(bool incrustation)
{
    labTitre->setText(texteTitre());
    gbIncrustation->setVisible(incrustation);
    labSansIncrustation->setVisible(!incrustation);
    raise();
}

void TOptionsFrame::RemplirCommandes()
{
    modeleCommandes_->recharger();
}

void TOptionsFrame::SelectionnerTout()
{
    modeleCommandes_->toutCocher();
}

QAbstractButton* TOptionsFrame::bouton(ControleOptions c) const
{
    auto* b = qobject_cast<QAbstractButton*>(controle(c));
    if (!b)
        throw std::invalid_argument("TOptionsFrame: not a check box");
    return b;
}

QLineEdit* TOptionsFrame::ligne(ControleOptions c) const
{
    auto* e = qobject_cast<QLineEdit*>(controle(c));
    if (!e)
        throw std::invalid_argument("TOptionsFrame: not a text box");
    return e;
}

bool TOptionsFrame::coche(ControleOptions c) const
{
    return bouton(c)->isChecked();
}

void TOptionsFrame::cocher(ControleOptions c, bool etat)
{
    bouton(c)->setChecked(etat);
}

QString TOptionsFrame::texte(ControleOptions c) const
{
    return ligne(c)->text();
}

void TOptionsFrame::ecrireTexte(ControleOptions c, const QString& texte)
{
    ligne(c)->setText(texte);
}

double TOptionsFrame::valeur(ControleOptions c) const
{
    if (c == C::rgStandard)
        return groupeStandard_->checkedId();
    if (auto* s = qobject_cast<QSpinBox*>(controle(c)))
        return s->value();
    throw std::invalid_argument("TOptionsFrame: no value");
}

void TOptionsFrame::ecrireValeur(ControleOptions c, double valeur)
{
    if (c == C::rgStandard) {
        if (QAbstractButton* b = groupeStandard_->button(int(valeur)))
            b->setChecked(true);
    } else if (auto* s = qobject_cast<QSpinBox*>(controle(c))) {
        // Setting the box is not editing it.
        const QSignalBlocker bloque(s);
        s->setValue(decalageSaisi(valeur));
    } else {
        throw std::invalid_argument("TOptionsFrame: no value");
    }
}

void TOptionsFrame::activer(ControleOptions c, bool actif)
{
    controle(c)->setEnabled(actif);
    if (QAbstractButton* b = parcourir(c))
        b->setEnabled(actif);
}

void TOptionsFrame::dossierDepart(ControleOptions c, const QString& dossier)
{
    departs_[size_t(c)] = dossier;
}

void TOptionsFrame::majApercu(ReglageApercu reglage, int dureeIncrust)
{
    MajApercuOptions(apercu_, reglage, dureeIncrust);
}

void TOptionsFrame::choisirDossier(ControleOptions c)
{
    QString depart = departs_[size_t(c)];
    if (depart.isEmpty() || !QFileInfo(depart).isDir())
        depart = texte(c);
    const QString dossier = QFileDialog::getExistingDirectory(this, legende(c).trimmed(), depart);
    if (dossier.isEmpty())
        return;
    ecrireTexte(c, QDir::toNativeSeparators(dossier));
    // The chosen folder counts as the box left (the play-list folder is only collected).
    EvenementOptions(c, *this);
}

void TOptionsFrame::choisirStillex()
{
    const QString actuel = texte(C::feFichierStillex);
    const QString fichier = QFileDialog::getOpenFileName(this, QStringLiteral("Programme Stillex"),
                                                         actuel.isEmpty() ? QString() : QFileInfo(actuel).absolutePath());
    if (!fichier.isEmpty())
        ecrireTexte(C::feFichierStillex, fichier);
}

void TOptionsFrame::choisirPolice()
{
    if (const std::optional<PoliceIncrust> choisie = DialoguePolice::choisir(prefIncrustFont, this))
        prefIncrustFont = *choisie;
    EvenementOptions(C::sbIncrustFont, *this);
}

} // namespace korvan
