#include "scenes/fichier_scn.h"

#include "analysis/bytes.h"
#include "analysis/chemins.h"
#include "analysis/file_io.h"
#include "analysis/texte_court.h"

#include <unistd.h>
#include <optional>
#include <vector>

namespace korvan {

namespace {

// The scene file under way (one run at a time).
struct EcritureScn {
    std::optional<BinaryFile> fichier;
    std::string chemin;        // path stored in the records
    int64_t position = 0;      // where the next bytes go
    int64_t positionCompte = -1;
    int32_t enregistrements = 0; // records wholly written
    bool enPanne = false;      // a write failed: nothing more is appended
};

EcritureScn ecriture;

class Tampon {
public:
    Tampon& octets(std::initializer_list<uint8_t> l)
    {
        b_.insert(b_.end(), l);
        return *this;
    }
    Tampon& texte(std::string_view s)
    {
        b_.insert(b_.end(), s.begin(), s.end());
        return *this;
    }
    Tampon& zeros(size_t n)
    {
        b_.insert(b_.end(), n, 0);
        return *this;
    }
    Tampon& u16(uint16_t v)
    {
        uint8_t p[2];
        ecrireU16(p, v);
        b_.insert(b_.end(), p, p + 2);
        return *this;
    }
    Tampon& i32(int32_t v)
    {
        uint8_t p[4];
        ecrireU32(p, uint32_t(v));
        b_.insert(b_.end(), p, p + 4);
        return *this;
    }
    // One length byte, then the path.
    Tampon& chemin(const std::string& s)
    {
        b_.push_back(uint8_t(s.size()));
        return texte(s);
    }
    const std::vector<uint8_t>& octets() const { return b_; }

private:
    std::vector<uint8_t> b_;
};

void ajouter(const Tampon& t)
{
    ecriture.fichier->writeAt(ecriture.position, t.octets().data(), t.octets().size());
    ecriture.position += int64_t(t.octets().size());
}

} // namespace

QString CheminFichierScn(const QString& cheminClip)
{
    return ChangerExtension(cheminClip, QStringLiteral(".scn"));
}

std::string CheminOctetsScn(const QString& chemin)
{
    std::string octets = CheminLocal(chemin);
    octets.resize(LongueurUtf8Coupee(octets.data(), octets.size(), kMaxOctetsCheminScn));
    return octets;
}

void OuvrirScn(const TAfficherFichier& entree, bool& ok)
{
    ok = false;
    ecriture = EcritureScn{};
    const std::string nom = CheminLocal(CheminFichierScn(entree.chemin));
    // unlink, not remove: a folder of that name is not ours to delete.
    ::unlink(nom.c_str());
    try {
        ecriture.fichier.emplace(nom, BinaryFile::Mode::Create);
        ecriture.chemin = CheminOctetsScn(entree.chemin);
        Tampon a;
        a.octets({0x63, 0x26, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x0A, 0x00})
            .texte("SourceTape")
            .chemin(ecriture.chemin)
            .zeros(8);
        ajouter(a);
        ecriture.positionCompte = ecriture.position;
        Tampon b;
        b.u16(0)
            .octets({0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00})
            .texte("ClipP")
            .zeros(3)
            .octets({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00})
            .texte("Scene")
            .zeros(5);
        ajouter(b);
        ok = true;
    } catch (const FileError&) {
        // A file without its headers is no scene file: none is left.
        if (ecriture.fichier) {
            ecriture.fichier.reset();
            ::unlink(nom.c_str());
        }
        ecriture = EcritureScn{};
    }
}

void EcrireSceneScn(const TSceneInfo& scene)
{
    if (!ecriture.fichier || ecriture.enPanne || scene.fin == 0)
        return;
    ++compteurScenes;
    if (compteurScenes > kMaxScenesScn)
        return;
    const int32_t e = scene.fin + 1; // the first frame after the scene
    Tampon t;
    if (compteurScenes == 1) {
        t.i32(e).octets({0x00, 0x00, 0x00, 0x00, 0x01, 0x80}).chemin(ecriture.chemin).zeros(8).i32(e);
    } else {
        const int32_t s = scene.debut;
        const int32_t n = e - s;
        t.octets({0x03, 0x80, 0xF0, 0x00, 0x00, 0x00, 0x05, 0x80, 0x00})
            .i32(s)
            .i32(n)
            .octets({0x00, 0x00, 0x00, 0x00, 0x07, 0x00})
            .i32(s)
            .i32(n)
            .i32(s);
    }
    try {
        ajouter(t);
    } catch (const FileError&) {
        ecriture.enPanne = true;
        throw;
    }
    ++ecriture.enregistrements;
}

void FermerScn()
{
    if (!ecriture.fichier)
        return;
    try {
        if (ecriture.positionCompte >= 0) {
            uint8_t compte[2];
            ecrireU16(compte, uint16_t(ecriture.enregistrements));
            ecriture.fichier->writeAt(ecriture.positionCompte, compte, sizeof compte);
        }
    } catch (const FileError&) {
        // The writer reports nothing: the file keeps the count it had.
    }
    ecriture = EcritureScn{};
}

} // namespace korvan
