#pragma once
// The dialog of "Modifier le codec": one of the usual DV codes or four
// characters typed.
#include "ui/dialogue_choix.h"

namespace korvan {

class TCodecForm : public FormeChoix<ICodecForm> {
    Q_OBJECT
public:
    explicit TCodecForm(QWidget* parent = nullptr);

    QString codecChoisi() const override { return codec_; }

protected:
    bool lireValeur() override;

private:
    QString codec_;
};

} // namespace korvan
