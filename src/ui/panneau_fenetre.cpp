#include "ui/panneau_fenetre.h"

#include "platform/identite_programme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvan {

TPanneauFenetre::TPanneauFenetre(const QString& nom, QWidget* parent) : QFrame(parent)
{
    setObjectName(nom);
    setMinimumWidth(kLargeur);
    auto* couche = new QVBoxLayout(this);
    labTitre = new QLabel(this);
    labTitre->setObjectName(QStringLiteral("labTitre"));
    QFont grand = labTitre->font();
    grand.setPointSize(grand.pointSize() + 4);
    grand.setBold(true);
    labTitre->setFont(grand);
    couche->addWidget(labTitre);

    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pages"));
    couche->addWidget(pages, 1);

    auto* bas = new QHBoxLayout;
    btnFermer = new QPushButton(this);
    btnFermer->setObjectName(QStringLiteral("btnFermer"));
    connect(btnFermer, &QPushButton::clicked, this, &TPanneauFenetre::fermer);
    bas->addStretch(1);
    bas->addWidget(btnFermer);
    couche->addLayout(bas);
}

QString TPanneauFenetre::texteTitre()
{
    return QStringLiteral("Korvan") + u' ' + versionProgramme + u' ' + QStringLiteral("Fr");
}

} // namespace korvan
