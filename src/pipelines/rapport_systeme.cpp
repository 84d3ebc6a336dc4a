#include "pipelines/rapport_systeme.h"

#include "pipelines/version_media.h"
#include "platform/boite_message.h"
#include "platform/version_systeme.h"

namespace korvan {

std::vector<LigneRapportSysteme> LignesRapportSysteme(const QString& nomSysteme, const QString& versionMedia,
                                                      const DrapeauxFiltres& drapeaux)
{
    // Here the media framework is FFmpeg: its line names it where the
    // Windows program named DirectX.
    std::vector<LigneRapportSysteme> lignes = {
        {StyleRapport::Italique, QStringLiteral("Votre système d'exploitation est: ")},
        {StyleRapport::Gras, nomSysteme + QStringLiteral(". ")},
        {StyleRapport::Gras, QString()},
        {StyleRapport::Italique, QStringLiteral("Vous utilisez:")},
        {StyleRapport::Gras, versionMedia + u'.'},
        {StyleRapport::Gras, QString()},
    };
    for (const LigneRapportFiltres& f : RapportFiltres(drapeaux))
        lignes.push_back({StyleRapport::Gras, f.texte, !f.present});
    return lignes;
}

std::vector<LigneRapportSysteme> LignesRapportSysteme()
{
    return LignesRapportSysteme(NomVersionWindows(), VersionDirectX(), drapeauxFiltres());
}

void EcrireRapportSysteme(SortieRapportSysteme& sortie, const std::vector<LigneRapportSysteme>& lignes,
                          BoiteMessage& boite)
{
    sortie.vider();
    for (const LigneRapportSysteme& l : lignes) {
        const char* ecrivain = l.rouge ? "ecrire_rouge" : "ecrire_noir";
        try {
            sortie.definirStyle(l.style);
            if (l.rouge)
                sortie.ecrire_rouge(l.texte);
            else
                sortie.ecrire_noir(l.texte);
        } catch (...) {
            boite.montrer(GenreMessage::Erreur,
                          QStringLiteral("SVP informez Brannoc de l'erreur suivante: Erreur dans %1")
                              .arg(QLatin1String(ecrivain)),
                          BoutonsMessage::OK);
        }
    }
}

} // namespace korvan
