#pragma once
// Questions and messages shown to the user, behind an interface: the window
// shows them in message boxes, tests answer them.
#include <QString>

namespace korvan {

enum class GenreMessage { Avertissement, Information, Erreur };
enum class BoutonsMessage { OuiNon, OK };
enum class ReponseMessage { Oui, Non, OK, Fermee };

class BoiteMessage {
public:
    virtual ~BoiteMessage() = default;
    // Shows texte with the given buttons and waits for the answer; Fermee when
    // the box was closed without a button.
    virtual ReponseMessage montrer(GenreMessage genre, const QString& texte, BoutonsMessage boutons) = 0;
};

} // namespace korvan
