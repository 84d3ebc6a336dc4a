#pragma once
// Questions and messages in real message boxes, with the program's French titles and buttons.
#include "integration/boite_message.h"

class QWidget;

namespace korvan {

class BoiteMessageQt : public BoiteMessage {
public:
    explicit BoiteMessageQt(QWidget* parent) : parent_(parent) {}
    ReponseMessage montrer(GenreMessage genre, const QString& texte, BoutonsMessage boutons) override;

private:
    QWidget* parent_;
};

} // namespace korvan
