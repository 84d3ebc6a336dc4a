#pragma once
// The dialog of "Corriger la fréquence vidéo": 25, 29.97 or a rate typed
// with the locale's decimal separator.
#include "commands/commandes_entetes.h"
#include "ui/dialogue_choix.h"

namespace korvan {

class TFrequenceForm : public DialogueChoix, public IFrequenceForm {
    Q_OBJECT
public:
    explicit TFrequenceForm(QWidget* parent = nullptr);

    int choix() const override { return choixCourant(); }
    void choisir(int item) override { choisirItem(item); }
    void definirTexte(const QString& texte) override { definirTexteEdition(texte); }
    bool executer() override { return executerModal(); }
    double frequenceChoisie() const override { return frequence_; }

protected:
    bool lireValeur() override;

private:
    double frequence_ = 0;
};

} // namespace korvan
