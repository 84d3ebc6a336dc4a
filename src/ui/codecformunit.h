#pragma once
// The dialog of "Modifier le codec": one of the usual DV codes or four
// characters typed.
#include "commands/commandes_entetes.h"
#include "ui/dialogue_choix.h"

namespace korvan {

class TCodecForm : public DialogueChoix, public ICodecForm {
    Q_OBJECT
public:
    explicit TCodecForm(QWidget* parent = nullptr);

    int choix() const override { return choixCourant(); }
    void choisir(int item) override { choisirItem(item); }
    void definirTexte(const QString& texte) override { definirTexteEdition(texte); }
    bool executer() override { return executerModal(); }
    QString codecChoisi() const override { return codec_; }

protected:
    bool lireValeur() override;

private:
    QString codec_;
};

} // namespace korvan
