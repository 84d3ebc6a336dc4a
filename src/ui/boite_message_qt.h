#pragma once
// Questions and messages in real message boxes, with the program's French titles and buttons.
#include "platform/boite_message.h"

class QWidget;

namespace korvan {

class BoiteMessageQt : public BoiteMessage {
public:
    explicit BoiteMessageQt(QWidget* parent) : parent_(parent) {}

    // Nobody may be at the screen (the hidden command-line run, with no
    // display): messages go to the standard error output and no box waits
    // for an answer, which is then "closed without a button" (OK for a box
    // that only has OK). Each message is one line there: the lines of a box
    // are joined with " : ", as in "Impossible de renommer x.avi en y.avi :
    // Permission non accordée".
    bool surSortieErreur = false;

protected:
    ReponseMessage afficher(GenreMessage genre, const QString& texte, BoutonsMessage boutons) override;

private:
    QWidget* parent_;
};

} // namespace korvan
