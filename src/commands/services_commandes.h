#pragma once
// What the built-in commands use outside themselves: the message box, the
// preview's hold on its file, the desktop's openers, the trash and the
// rename. The program passes the real ones; tests pass fakes.
#include "commands/interfaces_fenetre.h"
#include "platform/boite_message.h"
#include "platform/ouverture_externe.h"

#include <QString>
#include <functional>

namespace korvan {

class TCdm;

struct ServicesCommandes {
    BoiteMessage* boite = nullptr;      // null: failures are not reported
    ControleApercu* apercu = nullptr;   // null: no preview to release
    OuvreurExterne* ouvreur = nullptr;  // null: the desktop's own (ouvreurSysteme)
    std::function<bool(const QString& chemin)> corbeille;                       // empty: SupprimerVersCorbeille
    std::function<int(const QString& source, const QString& cible)> renommer;  // empty: RenommerSansEcraser
    TCdm* conversion = nullptr;         // null: the program's conversion module (moduleConversion)
    // The wait of a conversion: the runner's (attendreFinConversion, its
    // progress timer running); empty: events pumped until the run ends or Esc.
    std::function<void()> attendreConversion;

    OuvreurExterne& ouvreurEffectif() const;
    TCdm& conversionEffective() const;
    void attendreFinConversion() const;
    bool envoyerCorbeille(const QString& chemin) const;
    // 0, or the system's error number; the file keeps its name on failure.
    int renommerFichier(const QString& source, const QString& cible) const;
    // A failure told to the user: an "Erreur" box with an OK button.
    void signalerErreur(const QString& texte) const;
};

// The text of an error box about a file: what could not be done, then on the
// next line the system's reason for the error number.
QString TexteEchec(const QString& quoi, int erreur);

} // namespace korvan
