#include "ui/dialogue_choix.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvan {

DialogueChoix::DialogueChoix(const Textes& t, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(t.caption);
    setModal(true);
    auto* v = new QVBoxLayout(this);
    for (const QString& l : t.lignes)
        v->addWidget(new QLabel(l, this));

    groupe = new QGroupBox(this);
    groupe->setObjectName(t.nomGroupe);
    auto* items = new QVBoxLayout(groupe);
    rg = new QButtonGroup(this);
    for (int i = 0; i < t.items.size(); ++i) {
        auto* r = new QRadioButton(t.items[i], groupe);
        rg->addButton(r, i);
        items->addWidget(r);
    }
    v->addWidget(groupe);

    auto* ligne = new QHBoxLayout;
    auto* libelle = new QLabel(t.libelleEdition, this);
    le = new QLineEdit(this);
    le->setObjectName(QStringLiteral("le"));
    le->setToolTip(t.hintEdition);
    le->setEnabled(false);
    libelle->setBuddy(le);
    ligne->addWidget(libelle);
    ligne->addWidget(le, 1);
    ligne->addWidget(new QLabel(t.unite, this));
    v->addLayout(ligne);

    auto* boutons = new QHBoxLayout;
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setToolTip(t.hintOk);
    ok->setDefault(true);
    annuler = new QPushButton(QStringLiteral("Annuler"), this);
    annuler->setObjectName(QStringLiteral("annuler"));
    annuler->setToolTip(t.hintAnnuler);
    boutons->addStretch(1);
    boutons->addWidget(ok);
    boutons->addWidget(annuler);
    v->addLayout(boutons);

    connect(rg, &QButtonGroup::idToggled, this, [this](int, bool coche) {
        if (coche)
            itemChoisi();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        accepte_ = lireValeur();
        accept();
    });
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);
}

int DialogueChoix::choixCourant() const
{
    return rg->checkedId();
}

void DialogueChoix::choisirItem(int item)
{
    if (QAbstractButton* b = rg->button(item))
        b->setChecked(true);
    itemChoisi();
}

void DialogueChoix::definirTexteEdition(const QString& texte)
{
    le->setText(texte);
}

bool DialogueChoix::executerModal()
{
    accepte_ = false;
    // Closing the dialog any other way than by OK leaves accepte_ false.
    exec();
    return accepte_;
}

void DialogueChoix::itemChoisi()
{
    le->setEnabled(rg->checkedId() == rg->buttons().size() - 1);
    if (le->isEnabled() && isActiveWindow())
        le->setFocus();
}

void DialogueChoix::changeEvent(QEvent* e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && le->isEnabled())
        le->setFocus();
}

} // namespace korvan
