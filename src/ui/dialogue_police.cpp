#include "ui/dialogue_police.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvan {

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
    p.prendreCouleur(choisie_);
    return p;
}

void DialoguePolice::definirPolice(const PoliceIncrust& police)
{
    polices_->setCurrentFont(police.versQFont());
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
