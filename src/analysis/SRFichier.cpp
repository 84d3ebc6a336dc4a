#include "analysis/SRFichier.h"

#include "analysis/chemins.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace korvan {

TBaseFichier::TBaseFichier(const QString& cheminDonne)
    : nom(NomDeFichier(cheminDonne)), chemin(CheminAbsolu(cheminDonne))
{
    cleAlpha = (nom + chemin).toLower();
}

uint32_t AttributsDeFichier(const QString& chemin)
{
    const QFileInfo info(chemin);
    uint32_t attributs = faArchive;
    // Not isWritable(): it asks whether this user may write, which is always
    // yes for the administrator and no for anybody else's file.
    if (!info.permissions().testFlag(QFileDevice::WriteOwner))
        attributs |= faReadOnly;
    if (info.isHidden())
        attributs |= faHidden;
    return attributs;
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

TSRFichier::TSRFichier(const QString& cheminDonne) : TBaseFichier(cheminDonne)
{
    const QFileInfo info(chemin);
    if (!info.exists() || info.isDir())
        return;
    existe = true;
    const uint64_t octets = uint64_t(info.size());
    tailleHaute = uint32_t(octets >> 32);
    tailleBasse = uint32_t(octets);
    dateModification = DateTimeDepuisQDateTime(info.lastModified());
    dateAcces = DateTimeDepuisQDateTime(info.lastRead());
    // Not every filesystem records a birth time; the oldest time known stands in.
    QDateTime creation = info.birthTime();
    if (!creation.isValid()) {
        creation = info.lastModified();
        const QDateTime changement = info.metadataChangeTime();
        if (changement.isValid() && changement < creation)
            creation = changement;
    }
    dateCreation = DateTimeDepuisQDateTime(creation);
    attributs = AttributsDeFichier(chemin);
    cleTaille = Format("%.16x", tailleHaute) + Format("%.16x", tailleBasse) + chemin.toLower();
    cleDateFichier = FormatDateTime(QStringLiteral("yyyymmddhhnnss"), dateModification) + chemin.toLower();
}

} // namespace korvan
