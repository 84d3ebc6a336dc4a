#pragma once
// The dialog of "Corriger la fréquence vidéo": 25, 29.97 or a rate typed
// with the locale's decimal separator.
#include "ui/dialogue_choix.h"

namespace korvan {

class TFrequenceForm : public FormeChoix<IFrequenceForm> {
    Q_OBJECT
public:
    explicit TFrequenceForm(QWidget* parent = nullptr);

    double frequenceChoisie() const override { return frequence_; }

protected:
    bool lireValeur() override;

private:
    double frequence_ = 0;
};

} // namespace korvan
