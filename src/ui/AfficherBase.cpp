#include "ui/AfficherBase.h"

#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "platform/etat_programme.h"
#include "platform/identite_programme.h"
#include "platform/preferences.h"
#include "pipelines/regles_apercu.h"
#include "pipelines/viewgraph.h"
#include "scenes/fichier_scn.h"
#include "scenes/lecture_scn.h"
#include "ui/etiquette_elidee.h"
#include "ui/fenetre_video.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace korvan {

namespace {

// The file name: long names elide in the middle, and a click opens its folder.
class LabelCliquable : public EtiquetteElidee {
public:
    using EtiquetteElidee::EtiquetteElidee;
    std::function<void()> clic;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && clic)
            clic();
        EtiquetteElidee::mouseReleaseEvent(e);
    }
};

QLabel* valeur(QWidget* parent)
{
    auto* l = new QLabel(parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// The video sits this far below the column's top, leaving room for the
// vertical slider, which overhangs it by 8 pixels.
constexpr int kHautVideo = 8;

} // namespace

TBaseFrame::TBaseFrame(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("TBaseFrame"));
    auto* couche = new QVBoxLayout(this);
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* grille = new QGridLayout(Panel1);
    auto* nom = new LabelCliquable(Panel1);
    nom->clic = [this] { emit nomClique(); };
    LabNom = nom;
    LabNom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabNom->setCursor(Qt::PointingHandCursor);
    labscn = new QLabel(Panel1);
    grille->addWidget(labscn, 0, 0);
    grille->addWidget(LabNom, 0, 1, 1, 2);
    QLabel** legendes[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7};
    QLabel** valeurs[] = {&labDatecode, &LabTimecode, &LabCodec, &LabImage, &LabDuree, &labFPS, &LabAudio1};
    for (int i = 0; i < 7; ++i) {
        *legendes[i] = new QLabel(Panel1);
        *valeurs[i] = valeur(Panel1);
        grille->addWidget(*legendes[i], i + 1, 0);
        grille->addWidget(*valeurs[i], i + 1, 1);
    }
    LabAudio2 = valeur(Panel1);
    grille->addWidget(LabAudio2, 8, 1);
    // Values stay beside their captions however wide the panel gets.
    grille->setColumnStretch(2, 1);
    Panel1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel1, &QWidget::customContextMenuRequested, this, &TBaseFrame::menuCopie);
    couche->addWidget(Panel1);

    // The video column: the preview window and the overlay sliders around it, placed by AfficherInfos.
    zoneVideo = new QWidget(this);
    zoneVideo->setObjectName(QStringLiteral("zoneVideo"));
    zoneVideo->setFixedSize(kLargeurColonneVideo, kHautVideo + kHauteurVideoMax + 16);
    vw = new FenetreVideo(zoneVideo);
    incrustHorz = new QSlider(Qt::Horizontal, zoneVideo);
    incrustVert = new QSlider(Qt::Vertical, zoneVideo);
    for (QSlider* s : {incrustHorz, incrustVert}) {
        s->setRange(0, 1000);
        s->setPageStep(100);
        s->setSingleStep(100);
        s->hide();
    }
    incrustHorz->setObjectName(QStringLiteral("incrustHorz"));
    incrustVert->setObjectName(QStringLiteral("incrustVert"));
    placerVideo(4, 3);
    couche->addWidget(zoneVideo, 0, Qt::AlignLeft);
    auto* ligne = new QWidget(this);
    ligne->setFixedWidth(kLargeurColonneVideo);
    auto* barre = new QVBoxLayout(ligne);
    barre->setContentsMargins(12, 0, 16, 0);
    tb = new QSlider(Qt::Horizontal, ligne);
    tb->setObjectName(QStringLiteral("tb"));
    tb->setRange(0, 1000);
    tb->setFixedWidth(260);
    labTimeStamp = new QLabel(ligne);
    labTimeStamp->setObjectName(QStringLiteral("labTimeStamp"));
    labTimeStamp->setAlignment(Qt::AlignCenter);
    labTimeStamp->setToolTip(QStringLiteral("Position de l'image actuellement affichée dans le fichier avi") + QStringLiteral("\r\n")
                             + QStringLiteral("en heures:minutes:secondes:frames.") + QStringLiteral("\r\n")
                             + QStringLiteral("S'il n'y a pas de flux video, c'est exprimé en millisecondes au lieu de frames."));
    barre->addWidget(tb);
    barre->addWidget(labTimeStamp);
    couche->addWidget(ligne, 0, Qt::AlignLeft);
    zoneTemps = ligne;

    reBaseFrame = new QTextBrowser(this);
    reBaseFrame->setObjectName(QStringLiteral("reBaseFrame"));
    reBaseFrame->setMinimumSize(288, 200);
    couche->addWidget(reBaseFrame, 1);
    couche->addStretch(0);

    timer1 = new QTimer(this);
    timer1->setInterval(40);
    connect(timer1, &QTimer::timeout, this, &TBaseFrame::rafraichirPosition);
    // The track bar held by the mouse stops the labels; released, the preview goes there.
    connect(tb, &QSlider::sliderPressed, timer1, &QTimer::stop);
    connect(tb, &QSlider::sliderReleased, this, &TBaseFrame::tbRelache);
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 100);
    Gauge1->hide();
    couche->addWidget(Gauge1);
    TextesPanneau();
    ViderInfos();
    ModeVideo(false);
}

void TBaseFrame::definirApercu(Tviewdm* apercu)
{
    apercu_ = apercu;
}

void TBaseFrame::ModeVideo(bool actif)
{
    modeVideo_ = actif;
    zoneVideo->setVisible(actif);
    if (actif)
        timer1->start();
    else
        timer1->stop();
    zoneTemps->setVisible(actif);
    tb->setVisible(actif);
    labTimeStamp->setVisible(actif);
    reBaseFrame->setVisible(!actif);
}

void TBaseFrame::ModeSonSeul()
{
    zoneTemps->show();
    tb->show();
    labTimeStamp->show();
    zoneTemps->raise();
    timer1->start();
}

void TBaseFrame::placerVideo(int32_t largeur, int32_t hauteur)
{
    QRect v = GeometrieVideo(largeur, hauteur);
    if (v.isEmpty())
        return;
    v.translate(0, kHautVideo);
    vw->setGeometry(v);
    incrustHorz->setGeometry(v.left() - 8, v.bottom() + 1 - 5, v.width() + 16, incrustHorz->sizeHint().height());
    incrustVert->setGeometry(v.right() + 1 - 5, v.top() - 8, incrustVert->sizeHint().width(), v.height() + 16);
    incrustHorz->raise();
    incrustVert->raise();
}

void TBaseFrame::TextesPanneau()
{
    const QStringList textes{"Datecode", "Timecode", "codec", "Image", "Durée", "Fps", "Audio"};
    QLabel* legendes[] = {Label1, Label2, Label3, Label4, Label5, Label6, Label7};
    QLabel* valeurs[] = {labDatecode, LabTimecode, LabCodec, LabImage, LabDuree, labFPS, LabAudio1};
    for (int i = 0; i < 7; ++i) {
        legendes[i]->setText(textes[i]);
        valeurs[i]->setText(textes[i]);
    }
    LabAudio2->setText(QStringLiteral("Audio"));
    labTimeStamp->setText(QStringLiteral("x"));
    LabNom->setText(QStringLiteral("LabNom"));
    labscn->setText(QStringLiteral("scn"));
    tb->setToolTip(QStringLiteral("Curseur pour circuler dans la vidéo.") + QStringLiteral("\r\n")
                   + QStringLiteral("On peut aussi utiliser toutes les touches flèches du clavier") + QStringLiteral("\r\n")
                   + QStringLiteral("ainsi que F8 et F9 pour changer de scène."));
}

// The name in 13-pixel letters, smaller when it does not fit (never below 8
// points); a name that still does not fit elides in its middle.
void TBaseFrame::ajusterNom(const QString& nom)
{
    QFont f = LabNom->font();
    f.setPixelSize(13);
    const int w = Panel1->width() - 10;
    const int largeurTexte = QFontMetrics(f).horizontalAdvance(nom);
    if (largeurTexte > w && w > 0) {
        f.setPixelSize(std::max(1, 13 * w / largeurTexte));
        if (f.pointSizeF() < 8 || QFontInfo(f).pointSizeF() < 8)
            f.setPointSize(8);
    }
    LabNom->setFont(f);
    LabNom->setText(nom);
}

void TBaseFrame::AfficherInfos(const TAfficherFichier& e)
{
    ajusterNom(e.nom);
    LabNom->setToolTip(e.nom);
    if (apercu_) {
        apercu_->definirCaptureActive(false);
        apercu_->marquerAttenteDatecode();
    }
    labDatecode->setText(e.datecode > 0 ? FormatDateTime(prefFormatAfficher, e.datecode) : e.texteDatecode);
    labscn->setVisible(e.aScenes);
    LabTimecode->setText(e.texteTimecode);
    QString codec = e.texteCodec();
    if (e.estDV)
        codec += e.typeDV == 1 ? QStringLiteral(" (type 1)") : e.typeDV == 2 ? QStringLiteral(" (type 2)") : QStringLiteral(" (atypique)");
    LabCodec->setText(codec);
    LabImage->setText(e.texteTaille);
    LabDuree->setText(!e.texteDureeAudio.isEmpty() && e.texteDureeAudio != e.texteDuree
                          ? e.texteDuree + QStringLiteral(" (") + e.texteDureeAudio + QLatin1Char(')')
                          : e.texteDuree);
    labFPS->setText(e.fps > 0 ? FloatToStr(e.fps) : QString());
    fpsCourant = e.fps;
    fpsEntree_ = e.fps;
    LabAudio1->setText(e.texteAudio);
    LabAudio2->setText(e.texteFormatAudio);
    if (apercu_) {
        apercu_->definirCaptureActive(true);
        apercu_->definirFormatTemps(FormatTempsApercu::Images);
    }
    cheminCourant_ = e.chemin;
    nomCourant_ = e.nom;
    codecCourant_ = e.texteCodec();
    entreeCourante_ = true;
    Panel1->setToolTip(QStringLiteral("Fichier  : ") + e.chemin + QStringLiteral("\r\n") + QStringLiteral("Taille   : ")
                       + Format("%.0n", double(e.taille())) + QStringLiteral("\r\n") + QStringLiteral("Modifié  : ")
                       + FormatDateTime(prefFormatAfficher, e.dateModification));
    if (e.largeur > 0 && e.hauteur > 0)
        placerVideo(e.largeur, e.hauteur);
    ModeVideo(true);
}

void TBaseFrame::ViderInfos()
{
    LabNom->setText(QStringLiteral("---"));
    LabNom->setToolTip(QString());
    for (QLabel* l : {labDatecode, LabTimecode, LabCodec, LabImage, LabDuree, labFPS, LabAudio1, LabAudio2})
        l->clear();
    labscn->hide();
    cheminCourant_.clear();
    nomCourant_.clear();
    codecCourant_.clear();
    entreeCourante_ = false;
    Panel1->setToolTip(QString());
    if (apercu_) {
        apercu_->effacerTimecodeCourant();
        apercu_->Arreter();
    }
}

void TBaseFrame::ecrireOurs()
{
    ViderInfos();
    ModeVideo(false);
    reBaseFrame->setHtml(QStringLiteral("<br><br><br><p style=\"font-size:12pt; font-weight:bold\">%1</p><br>")
                             .arg(Format("%s %s %s %s", "Korvan", versionProgramme, " de ", "Brannoc").toHtmlEscaped()));
}

void TBaseFrame::AfficherCode(int raison)
{
    timer1->stop();
    if (apercu_)
        apercu_->SuspendreApercu();
    ModeVideo(false);
    // The path as on disk: a lower-cased one names another file on Linux.
    const QString chemin = cheminCourant_;
    const QString nom = nomCourant_;
    QStringList avant;
    QStringList enBleu;
    switch (raison) {
    case 0: avant = {"Le fichier", ""}; enBleu = {chemin, "ne comprend que de l'Audio"}; break;
    case 1: avant = {"Le fichier", ""}; enBleu = {chemin, "est introuvable"}; break;
    case 2: avant = {"Le fichier ", ""}; enBleu = {nom.toLower(), "ne semble pas être un fichier AVI correct"}; break;
    case 3:
        avant = {"Le fichier "};
        enBleu = {chemin, Format("semble avoir un codec DV non standard. Pour voir la vidéo, essayez de corriger le codec \"%s\" en \"dvsd\".",
                                 codecCourant_)};
        break;
    case 4: avant = {" Aucun filtre directshow présent sur votre système ne sait décompresser le", ""}; enBleu = {"codec " + codecCourant_}; break;
    case 5: avant = {" Interruption temporaire de la vidéo", "pour exécuter une commande", ""}; enBleu = {nom}; break;
    default: break;
    }
    // Lines about the entry are left out when there is none.
    if (!entreeCourante_ && raison != 4 && !enBleu.isEmpty())
        enBleu.removeFirst();
    QString html = QStringLiteral("<br><br><p><b><i><br>Vidéo non disponible<br></i></b></p>");
    for (const QString& l : avant)
        html += QStringLiteral("<p>") + (l.isEmpty() ? QStringLiteral("&nbsp;") : l.toHtmlEscaped()) + QStringLiteral("</p>");
    for (const QString& l : enBleu)
        html += QStringLiteral("<p style=\"color:blue; font-weight:bold\">") + l.toHtmlEscaped() + QStringLiteral("</p>");
    reBaseFrame->setHtml(html);
    if (apercu_)
        apercu_->ReprendreApercu();
}

void TBaseFrame::Timer1Timer()
{
    if (!apercu_)
        return;
    const SlotAnneau slot = apercu_->slotAnneau(apercu_->SlotAffiche());
    if (const auto d = TexteDatecodeSlot(slot.datecode, prefFormatAfficher)) {
        labDatecode->setText(*d);
        LabTimecode->setText(TexteTimecodeSlot(slot.timecode));
    }
    int64_t duree = 0;
    int64_t position = 0;
    if (apercu_->actif() && apercu_->duree(duree) && apercu_->position(position) && duree > 0) {
        dureeAffichee = duree;
        positionAffichee = position;
        if (!tb->isSliderDown())
            tb->setValue(*CurseurDepuis(position, duree));
    }
}

void TBaseFrame::rafraichirPosition()
{
    Timer1Timer();
    emit tic();
}

// A positioning step: errors are swallowed, and the labels follow unless the
// step says the position could not be read.
void TBaseFrame::positionner(const std::function<bool(Tviewdm&)>& etape)
{
    if (!apercu_)
        return;
    try {
        if (etape(*apercu_))
            rafraichirPosition();
    } catch (...) {
    }
}

void TBaseFrame::deplacer(int64_t delta)
{
    positionner([delta](Tviewdm& a) {
        a.DeplacerDe(delta);
        return true;
    });
}

void TBaseFrame::aeAvanceLow()
{
    if (const int64_t pas = PasImage(fpsEntree_))
        deplacer(pas);
}

void TBaseFrame::aeReculeLow()
{
    if (const int64_t pas = PasImage(fpsEntree_))
        deplacer(-pas);
}

void TBaseFrame::aeAvanceMedium() { deplacer(kPasSeconde); }
void TBaseFrame::aeReculeMedium() { deplacer(-kPasSeconde); }
void TBaseFrame::aeAvanceHigh() { deplacer(kPasMinute); }
void TBaseFrame::aeReculeHigh() { deplacer(-kPasMinute); }

void TBaseFrame::aeAvanceEnd()
{
    positionner([](Tviewdm& a) {
        a.definirFormatTemps(FormatTempsApercu::Images);
        int64_t duree = 0;
        if (a.duree(duree))
            a.AllerA(duree);
        return true;
    });
}

void TBaseFrame::aeReculeStart()
{
    positionner([](Tviewdm& a) {
        a.AllerA(0);
        return true;
    });
}

void TBaseFrame::allerScene(bool avant)
{
    if (cheminCourant_.isEmpty())
        return;
    positionner([this, avant](Tviewdm& a) {
        a.PauseApercu();
        a.definirFormatTemps(FormatTempsApercu::Images);
        int64_t courante = 0;
        int64_t duree = 0;
        if (!a.position(courante) || !a.duree(duree))
            return false;
        const QString scn = CheminFichierScn(cheminCourant_);
        const auto cible = avant ? CibleSceneSuivante(scn, courante, duree) : CibleScenePrecedente(scn, courante, duree);
        if (cible)
            a.AllerA(*cible);
        return true;
    });
}

void TBaseFrame::aeAvanceScene() { allerScene(true); }
void TBaseFrame::aeReculeScene() { allerScene(false); }

void TBaseFrame::tbRelache()
{
    if (apercu_) {
        apercu_->definirFormatTemps(FormatTempsApercu::Images);
        int64_t duree = 0;
        if (apercu_->duree(duree))
            apercu_->positionner(PositionDepuisCurseur(tb->value(), duree));
    }
    if (modeVideo_)
        timer1->start();
}

QStringList TBaseFrame::itemsCopie()
{
    return {"Copier le datecode", "Copier le timecode", "Copier le codec", "Copier la taille d'images",
            "Copier la durée", "Copier les Fps", "Copier l'audio", "Copier le nom complet"};
}

QString TBaseFrame::texteACopier(int item) const
{
    switch (item) {
    case 0: return labDatecode->text();
    case 1: return LabTimecode->text();
    case 2: return LabCodec->text();
    case 3: return LabImage->text();
    case 4: return LabDuree->text();
    case 5: return labFPS->text();
    case 6: return LabAudio1->text() + QLatin1Char(' ') + LabAudio2->text();
    case 7: return cheminCourant_; // as on disk: a lower-cased path names another file on Linux
    }
    return {};
}

void TBaseFrame::menuCopie(const QPoint& ou)
{
    QMenu menu(this);
    const QStringList items = itemsCopie();
    for (int i = 0; i < items.size(); ++i) {
        QAction* a = menu.addAction(items[i]);
        if (i == 7 && cheminCourant_.isEmpty())
            a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, i] { emit copier(texteACopier(i)); });
    }
    menu.exec(Panel1->mapToGlobal(ou));
}

} // namespace korvan
