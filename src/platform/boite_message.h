#pragma once
// Questions and messages shown to the user, behind an interface: the window
// shows them in message boxes, tests answer them.
#include <QString>

namespace korvan {

enum class GenreMessage { Avertissement, Information, Erreur };
// OuiNonAnnulerTous: the question asked before each entry of a command run
// over several entries ("Annuler" ends the run, "Tous" stops the questions).
enum class BoutonsMessage { OuiNon, OK, OuiNonAnnulerTous };
enum class ReponseMessage { Oui, Non, OK, Fermee, Annuler, Tous };

class BoiteMessage {
public:
    virtual ~BoiteMessage() = default;
    // Shows texte with the given buttons and waits for the answer; Fermee when
    // the box was closed without a button.
    ReponseMessage montrer(GenreMessage genre, const QString& texte, BoutonsMessage boutons)
    {
        if (genre == GenreMessage::Erreur)
            ++erreurs_;
        return afficher(genre, texte, boutons);
    }
    // The "Erreur" messages shown so far. Every failure is told to the user
    // in one, so a run that must say whether it went well (the command line's
    // exit status) counts them.
    int erreursSignalees() const { return erreurs_; }

protected:
    virtual ReponseMessage afficher(GenreMessage genre, const QString& texte, BoutonsMessage boutons) = 0;

private:
    int erreurs_ = 0;
};

} // namespace korvan
