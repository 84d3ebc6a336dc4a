#include "ui/AfficherBase.h"

#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "platform/identite_programme.h"
#include "platform/preferences.h"
#include "ui/etiquette_elidee.h"

#include <QGridLayout>
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

    reBaseFrame = new QTextBrowser(this);
    reBaseFrame->setObjectName(QStringLiteral("reBaseFrame"));
    reBaseFrame->setMinimumSize(288, 200);
    couche->addWidget(reBaseFrame, 1);
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 100);
    Gauge1->hide();
    couche->addWidget(Gauge1);
    TextesPanneau();
    ViderInfos();
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
    LabNom->setText(QStringLiteral("LabNom"));
    labscn->setText(QStringLiteral("scn"));
}

void TBaseFrame::AfficherInfos(const TAfficherFichier& e)
{
    LabNom->setText(e.nom);
    LabNom->setToolTip(e.nom);
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
    // Shortest decimal form with the locale's decimal separator.
    labFPS->setText(e.fps > 0 ? QString::number(e.fps, 'g', QLocale::FloatingPointShortest)
                                    .replace(QLatin1Char('.'), reglagesFormatCourants().separateurDecimal)
                              : QString());
    LabAudio1->setText(e.texteAudio);
    LabAudio2->setText(e.texteFormatAudio);
    cheminCourant_ = e.chemin;
    Panel1->setToolTip(QStringLiteral("Fichier  : ") + e.chemin + QStringLiteral("\r\n") + QStringLiteral("Taille   : ")
                       + Format("%.0n", double(e.taille())) + QStringLiteral("\r\n") + QStringLiteral("Modifié  : ")
                       + FormatDateTime(prefFormatAfficher, e.dateModification));
}

void TBaseFrame::ViderInfos()
{
    for (QLabel* l : {labDatecode, LabTimecode, LabCodec, LabImage, LabDuree, labFPS, LabAudio1, LabAudio2, LabNom})
        l->clear();
    LabNom->setToolTip(QString());
    labscn->hide();
    cheminCourant_.clear();
    Panel1->setToolTip(QString());
}

void TBaseFrame::ecrireOurs()
{
    reBaseFrame->setHtml(QStringLiteral("<h2>Korvan %1</h2><p>Glissez des fichiers AVI ici, ou ouvrez-les avec Ctrl+O.</p>")
                             .arg(versionProgramme));
}

void TBaseFrame::AfficherCode(int raison)
{
    static const char* const kRaisons[] = {"", "", "", "", "", "Aucun fichier sélectionné."};
    reBaseFrame->setPlainText(QString::fromUtf8(kRaisons[raison >= 0 && raison <= 5 ? raison : 0]));
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
