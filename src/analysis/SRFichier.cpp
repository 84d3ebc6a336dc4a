#include "analysis/SRFichier.h"

#include "analysis/chemins.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"

#include <sys/stat.h>

namespace korvan {

TBaseFichier::TBaseFichier(const QString& cheminDonne)
    : nom(NomDeFichier(cheminDonne)), chemin(CheminAbsolu(cheminDonne))
{
    cleAlpha = (nom + chemin).toLower();
}

uint32_t AttributsSelonEtat(const EtatFichier& etat, const QString& nom)
{
    uint32_t attributs = faArchive;
    // The owner's write bit, not whether this user may write (always yes
    // for the administrator, no for anybody else's file).
    if (!(etat.mode & S_IWUSR))
        attributs |= faReadOnly;
    if (nom.startsWith(QLatin1Char('.')))
        attributs |= faHidden;
    return attributs;
}

uint32_t AttributsDeFichier(const QString& chemin)
{
    EtatFichier etat;
    LireEtatFichier(CheminLocal(chemin), etat);
    return AttributsSelonEtat(etat, NomDeFichier(CheminAbsolu(chemin)));
}

bool DefinirAttributsFichier(const QString& chemin, uint32_t attributs)
{
    // chmod rather than QFile::setPermissions, which would also drop the
    // set-id and sticky bits.
    const std::string local = CheminLocal(chemin);
    struct stat st {};
    if (::stat(local.c_str(), &st) != 0)
        return false;
    const mode_t avant = st.st_mode & 07777;
    const mode_t apres = (attributs & faReadOnly) ? (avant & ~mode_t(S_IWUSR)) : (avant | S_IWUSR);
    return apres == avant || ::chmod(local.c_str(), apres) == 0;
}

TSRFichier::TSRFichier(const QString& cheminDonne) : TSRFichier(cheminDonne, nullptr)
{
}

TSRFichier::TSRFichier(const QString& cheminDonne, const EtatFichier* etatDonne) : TBaseFichier(cheminDonne)
{
    EtatFichier lu;
    if (!etatDonne)
        LireEtatFichier(CheminLocal(chemin), lu);
    const EtatFichier& etat = etatDonne ? *etatDonne : lu;
    if (!etat.existe)
        return;
    existe = true;
    const uint64_t octets = uint64_t(etat.taille);
    tailleHaute = uint32_t(octets >> 32);
    tailleBasse = uint32_t(octets);
    dateModification = DateTimeDepuisFichier(etat.modification);
    dateAcces = DateTimeDepuisFichier(etat.acces);
    // Not every filesystem records a birth time; the oldest time known stands in.
    timespec creation = etat.naissance;
    if (MsDepuisEpoque(creation) == 0) {
        creation = etat.modification;
        const int64_t changement = MsDepuisEpoque(etat.changement);
        if (changement != 0 && MsDepuisEpoque(creation) != 0 && changement < MsDepuisEpoque(creation))
            creation = etat.changement;
    }
    dateCreation = DateTimeDepuisFichier(creation);
    attributs = AttributsSelonEtat(etat, NomDeFichier(chemin));
    cleTaille = Format("%.16x", tailleHaute) + Format("%.16x", tailleBasse) + chemin.toLower();
    cleDateFichier = FormatDateTime(QStringLiteral("yyyymmddhhnnss"), dateModification) + chemin.toLower();
}

} // namespace korvan
