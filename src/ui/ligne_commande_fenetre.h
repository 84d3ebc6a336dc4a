#pragma once
// The command line as a part of the main window: the switch table when the
// window is first shown, the start-up decision (hidden mode runs there), the
// window-mode run at the first paint, and the table freed at closing.
#include "ui/pieces_fenetre.h"

#include <QStringList>

namespace korvan {

class LigneCommandeFenetre : public PieceLigneCommande {
public:
    // The program's arguments 1 to n.
    explicit LigneCommandeFenetre(QStringList arguments) : arguments_(std::move(arguments)) {}

    void ConstruireSwitches(TUIForm& fenetre) override;
    bool Demarrer(TUIForm& fenetre) override;
    void PremierePeinture(TUIForm& fenetre) override;
    void Liberer(TUIForm& fenetre) override;
    std::optional<IssueDemarrage> issue() const override { return issue_; }
    bool echecs() const override { return issue_ == IssueDemarrage::CacheeAvecEchecs || echecsFenetre_ > 0; }

private:
    QStringList arguments_;
    std::optional<IssueDemarrage> issue_;
    int echecsFenetre_ = 0;
};

} // namespace korvan
