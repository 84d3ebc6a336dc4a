#include "integration/options_programme.h"

#include "platform/identite_programme.h"

namespace korvan {

std::optional<QString> ReponseOptionProgramme(const QStringList& arguments)
{
    for (const QString& a : arguments) {
        if (a == QLatin1String("--version"))
            return QStringLiteral("Korvan ") + versionProgramme + QLatin1Char('\n');
        if (a == QLatin1String("--help"))
            return QStringLiteral(
                       "Usage : korvan [FICHIER.avi…] [+LETTRES…]\n"
                       "\n"
                       "Ouvre les fichiers AVI donnés dans la liste de Korvan. Un argument qui commence\n"
                       "par + (ou /) et ne contient pas de point porte des lettres : chacune lance sur\n"
                       "tous les fichiers de la liste la commande qui la possède (par exemple d : ajouter\n"
                       "le datecode au nom, s : créer le fichier scn).\n"
                       "\n"
                       "  +c   fermer après les commandes\n"
                       "  +h   sans fenêtre ni écran, sans questions, fermer à la fin\n"
                       "  +m   pas de confirmation\n"
                       "  +?   afficher la table de toutes les lettres (panneau A propos)\n"
                       "\n"
                       "  --help     cette aide\n"
                       "  --version  la version de Korvan\n"
                       "\n")
                + kAdresseSiteWeb + QLatin1Char('\n');
    }
    return std::nullopt;
}

} // namespace korvan
