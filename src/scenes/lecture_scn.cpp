#include "scenes/lecture_scn.h"

#include "analysis/bytes.h"
#include "analysis/chemins.h"

#include <algorithm>

namespace korvan {

namespace {

int64_t borner(int64_t cible, int64_t duree)
{
    return std::clamp<int64_t>(cible, 0, std::max<int64_t>(duree, 0));
}

std::shared_ptr<const ByteSource> ouvrir(const QString& chemin)
{
    try {
        return std::make_shared<BinaryFile>(CheminLocal(chemin), BinaryFile::Mode::Read);
    } catch (const FileError&) {
        return nullptr;
    }
}

} // namespace

LecteurScn::LecteurScn(std::shared_ptr<const ByteSource> source) : source_(std::move(source)) {}

bool LecteurScn::lire(void* tampon, size_t n)
{
    if (!source_ || position_ < 0)
        return false;
    try {
        if (!source_->readExactAt(position_, tampon, n))
            return false;
    } catch (const FileError&) {
        return false;
    }
    position_ += int64_t(n);
    return true;
}

bool LecteurScn::LireEnteteScn(const QString& chemin)
{
    source_ = ouvrir(chemin);
    return LireEnteteScn();
}

bool LecteurScn::LireEnteteScn()
{
    position_ = 0;
    nombre_ = 0;
    premiereLimite_ = 0;
    uint8_t fixe[24]; // fixed bytes and "SourceTape"
    uint8_t lp = 0;
    uint8_t compte[2];
    uint8_t limite[4];
    if (!lire(fixe, sizeof fixe) || !lire(&lp, 1))
        return false;
    sauter(lp);
    sauter(8);
    if (!lire(compte, sizeof compte))
        return false;
    sauter(30); // rest of the second block
    if (!lire(limite, sizeof limite))
        return false;
    sauter(6);
    if (!lire(&lp, 1)) // the path again, in the first record
        return false;
    sauter(lp);
    sauter(8 + 4);
    nombre_ = lireU16(compte);
    premiereLimite_ = lireI32(limite);
    return true;
}

bool LecteurScn::LireSceneSuivante(int32_t& limite)
{
    uint8_t s[4];
    sauter(9);
    if (!lire(s, sizeof s))
        return false;
    sauter(4 + 6 + 4 + 4 + 4);
    limite = lireI32(s);
    return true;
}

void LecteurScn::Fermer()
{
    source_.reset();
}


std::optional<int64_t> CibleSceneSuivante(LecteurScn& lecteur, int64_t courante, int64_t duree)
{
    if (!lecteur.LireEnteteScn())
        return std::nullopt;
    int64_t b = lecteur.premiereLimite();
    for (int i = 0; i < lecteur.nombre(); ++i) {
        if (courante < b)
            break;
        int32_t suivante = 0;
        if (!lecteur.LireSceneSuivante(suivante))
            break; // b stays: no later boundary is known
        b = suivante;
    }
    return borner(courante < b ? b : duree, duree);
}

std::optional<int64_t> CibleScenePrecedente(LecteurScn& lecteur, int64_t courante, int64_t duree)
{
    if (!lecteur.LireEnteteScn())
        return std::nullopt;
    int64_t precedente = 0;
    int64_t b = lecteur.premiereLimite();
    for (int i = 0; i < lecteur.nombre(); ++i) {
        if (b >= courante)
            break;
        precedente = b;
        int32_t suivante = 0;
        if (!lecteur.LireSceneSuivante(suivante))
            break;
        b = suivante;
    }
    return borner(precedente, duree);
}

std::optional<int64_t> CibleSceneSuivante(const QString& cheminScn, int64_t courante, int64_t duree)
{
    LecteurScn lecteur(ouvrir(cheminScn)); // a file that cannot be opened has no header
    return CibleSceneSuivante(lecteur, courante, duree);
}

std::optional<int64_t> CibleScenePrecedente(const QString& cheminScn, int64_t courante, int64_t duree)
{
    LecteurScn lecteur(ouvrir(cheminScn)); // a file that cannot be opened has no header
    return CibleScenePrecedente(lecteur, courante, duree);
}

} // namespace korvan
