#include "analysis/SRFichier.h"

#include "analysis/chemins.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"

#include <QFileInfo>

namespace korvan {

TBaseFichier::TBaseFichier(const QString& cheminDonne)
    : nom(NomDeFichier(cheminDonne)), chemin(CheminAbsolu(cheminDonne))
{
    cleAlpha = (nom + chemin).toLower();
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
    attributs = faArchive;
    if (!info.isWritable())
        attributs |= faReadOnly;
    if (info.isHidden())
        attributs |= faHidden;
    cleTaille = Format("%.16x", tailleHaute) + Format("%.16x", tailleBasse) + chemin.toLower();
    cleDateFichier = FormatDateTime(QStringLiteral("yyyymmddhhnnss"), dateModification) + chemin.toLower();
}

} // namespace korvan
