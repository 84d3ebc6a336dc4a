#include "ui/dialogue_police.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan {

namespace {

// The face's own name of the style nearest to bold or regular, italic or
// upright. The chooser matches styles by name, and the name it would build
// from the weight is translated ("Gras") where the face's are not ("Bold").
QString styleDeFace(const QString& famille, bool gras, bool italique)
{
    const int voulu = gras ? QFont::Bold : QFont::Normal;
    QString meilleur;
    int ecart = 0;
    for (const QString& style : QFontDatabase::styles(famille)) {
        // Oblique faces count as italic, as the font itself says.
        const QFont face = QFontDatabase::font(famille, style, 12);
        if (face.italic() != italique)
            continue;
        // Condensed and other widths are a face of their own, not a style of this one.
        const int e = std::abs(face.weight() - voulu)
                      + (style.contains(QLatin1String("Condensed"), Qt::CaseInsensitive) ? 1000 : 0);
        if (meilleur.isEmpty() || e < ecart) {
            meilleur = style;
            ecart = e;
        }
    }
    return meilleur;
}

} // namespace

DialoguePolice::DialoguePolice(const PoliceIncrust& police, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialoguePolice"));
    setWindowTitle(QStringLiteral("Police de l'incrustation"));
    auto* couche = new QVBoxLayout(this);
    // Qt's font chooser as a part of this dialog: its own buttons off, the
    // colour beside it (it has none).
    polices_ = new QFontDialog(this);
    polices_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    polices_->setWindowFlags(Qt::Widget);
    couche->addWidget(polices_);
    auto* bas = new QHBoxLayout;
    couleur_ = new QPushButton(QStringLiteral("Couleur..."), this);
    couleur_->setObjectName(QStringLiteral("btnCouleur"));
    connect(couleur_, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(choisie_, this, QStringLiteral("Couleur de l'incrustation"));
        if (c.isValid())
            definirCouleur(c);
    });
    bas->addWidget(couleur_);
    bas->addStretch(1);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    boutons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    bas->addWidget(boutons);
    couche->addLayout(bas);
    definirPolice(police);
}

PoliceIncrust DialoguePolice::police() const
{
    PoliceIncrust p;
    p.prendreQFont(polices_->currentFont());
    // The face shown in place of a missing one is not a choice of the user's.
    if (!remplacante_.isEmpty() && p.nom == remplacante_)
        p.nom = nomDemande_;
    p.prendreCouleur(choisie_);
    return p;
}

void DialoguePolice::definirPolice(const PoliceIncrust& police)
{
    QFont f = police.versQFont();
    nomDemande_ = police.nom;
    remplacante_.clear();
    // A face this system lacks ("Arial" on most Linux desktops) is shown as
    // the face that stands in for it, whose styles the chooser knows.
    if (!QFontDatabase::hasFamily(police.nom)) {
        remplacante_ = QFontInfo(f).family();
        f.setFamily(remplacante_);
    }
    const QString style = styleDeFace(f.family(), police.gras, police.italique);
    if (!style.isEmpty())
        f.setStyleName(style);
    polices_->setCurrentFont(f);
    definirCouleur(police.couleurQColor());
}

void DialoguePolice::definirCouleur(const QColor& couleur)
{
    choisie_ = couleur;
    montrerCouleur();
}

void DialoguePolice::montrerCouleur()
{
    QPixmap pastille(24, 16);
    pastille.fill(choisie_);
    // A frame, so that white (the default) shows on a light button.
    QPainter p(&pastille);
    p.setPen(Qt::darkGray);
    p.drawRect(pastille.rect().adjusted(0, 0, -1, -1));
    couleur_->setIcon(QIcon(pastille));
}

std::optional<PoliceIncrust> DialoguePolice::choisir(const PoliceIncrust& police, QWidget* parent)
{
    DialoguePolice d(police, parent);
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return d.police();
}

} // namespace korvan
