// The registry of filters: which roles a machine offers, the variable that
// marks filters absent, and what this machine's media libraries provide.
#include "pipelines/registre_filtres.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvan;

namespace {

const ConstatFiltre* constat(const RegistreFiltres& r, const QString& nom)
{
    for (const ConstatFiltre& c : r.constats())
        if (c.nomConvivial == nom)
            return &c;
    return nullptr;
}

bool enumere(const RegistreFiltres& r, CategorieFiltre categorie, const QString& nom)
{
    const auto liste = r.enumerer(categorie);
    return std::any_of(liste.begin(), liste.end(), [&](const EntreeRegistre& e) { return e.nomConvivial == nom; });
}

// Scoped value of KORVAN_FILTRES_ABSENTS.
class VariableAbsents {
public:
    explicit VariableAbsents(const char* valeur) : avant_(qgetenv(kVariableFiltresAbsents)), existait_(qEnvironmentVariableIsSet(kVariableFiltresAbsents))
    {
        qputenv(kVariableFiltresAbsents, valeur);
    }
    ~VariableAbsents()
    {
        if (existait_)
            qputenv(kVariableFiltresAbsents, avant_);
        else
            qunsetenv(kVariableFiltresAbsents);
    }
private:
    QByteArray avant_;
    bool existait_;
};

} // namespace

TEST(RegistreFiltres, AbsentListSplitsOnSemicolonsAndTrims)
{
    EXPECT_EQ(nomsFiltresAbsents(QStringLiteral(" WAV Dest ;DV Splitter;; ;")),
              (QStringList{"WAV Dest", "DV Splitter"}));
    EXPECT_TRUE(nomsFiltresAbsents(QString()).isEmpty());
}

TEST(RegistreFiltres, RolesFollowWhatTheMachineOffers)
{
    CapacitesMachine c; // nothing from the media libraries, no sound
    const RegistreFiltres vide = RegistreFiltres::integre(c, {});
    // Our own code is always there.
    for (const char* nom : {nomFiltre::te, nomFiltre::rienAfficher, nomFiltre::superposer, nomFiltre::datecoder,
                            nomFiltre::dvHeader, nomFiltre::timeStamper})
        EXPECT_TRUE(enumere(vide, CategorieFiltre::FiltresDirectShow, nom)) << nom;
    const ConstatFiltre* encodeur = constat(vide, nomFiltre::encodeurDv);
    ASSERT_NE(encodeur, nullptr);
    EXPECT_FALSE(encodeur->present);
    EXPECT_EQ(encodeur->categorie, CategorieFiltre::CompresseursVideo);
    EXPECT_TRUE(encodeur->detail.contains(QLatin1String("dvvideo")));
    ASSERT_NE(constat(vide, nomFiltre::sortieAudio), nullptr);
    EXPECT_FALSE(constat(vide, nomFiltre::sortieAudio)->present);
    EXPECT_TRUE(vide.enumerer(CategorieFiltre::RendusAudio).empty());

    c.encodeurDv = true;
    c.desentrelaceur = QStringLiteral("bwdif");
    c.sortieAudioParDefaut = true;
    c.sortiesAudio = {{"a", "Casque"}, {"b", "Haut-parleurs"}};
    const RegistreFiltres r = RegistreFiltres::integre(c, {});
    EXPECT_TRUE(enumere(r, CategorieFiltre::CompresseursVideo, nomFiltre::encodeurDv));
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, nomFiltre::encodeurDv));
    EXPECT_EQ(constat(r, nomFiltre::desentrelaceur)->detail, QLatin1String(implementation::desentrelaceurBwdif));
    const auto audio = r.enumerer(CategorieFiltre::RendusAudio);
    ASSERT_EQ(audio.size(), 3u);
    EXPECT_EQ(audio[0].nomConvivial, QLatin1String(nomFiltre::sortieAudio));
    EXPECT_EQ(audio[1].nomConvivial, QLatin1String("Casque"));
    EXPECT_EQ(audio[2].implementation, QLatin1String("qtmultimedia:sortie-audio:b"));
}

TEST(RegistreFiltres, NamesMarkedAbsentAreLeftOutWhateverTheirCase)
{
    CapacitesMachine c;
    c.muxeurWav = c.demuxeurDv = true;
    const RegistreFiltres r = RegistreFiltres::integre(c, {"wav dest", "DV SPLITTER"});
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, nomFiltre::ecritureWav));
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, nomFiltre::separateurDv));
    const ConstatFiltre* wav = constat(r, nomFiltre::ecritureWav);
    ASSERT_NE(wav, nullptr);
    EXPECT_FALSE(wav->present);
    EXPECT_TRUE(wav->detail.contains(QLatin1String(kVariableFiltresAbsents)));
}

TEST(RegistreFiltres, RemovingANameTakesItOutOfEveryCategory)
{
    RegistreFiltres r;
    r.inscrire({"Double", CategorieFiltre::FiltresDirectShow, "a"});
    r.inscrire({"double", CategorieFiltre::CompresseursVideo, "b"});
    r.inscrire({"Autre", CategorieFiltre::FiltresDirectShow, "c"});
    EXPECT_EQ(r.retirer(QStringLiteral("DOUBLE"), QStringLiteral("essai")), 2);
    EXPECT_EQ(r.entrees().size(), 1u);
    EXPECT_EQ(std::count_if(r.constats().begin(), r.constats().end(), [](const ConstatFiltre& c) { return !c.present; }), 2);
    EXPECT_EQ(r.retirer(QStringLiteral("Double"), QStringLiteral("essai")), 0);
}

TEST(RegistreFiltres, ThisMachinesFfmpegOffersTheDvRoles)
{
    // The Debian FFmpeg libraries the project builds on have every part the roles use.
    const CapacitesMachine c = CapacitesMachine::detecter();
    EXPECT_TRUE(c.lectureFichier);
    EXPECT_TRUE(c.ecritureFichier);
    EXPECT_TRUE(c.demuxeurAvi);
    EXPECT_TRUE(c.demuxeurDv);
    EXPECT_TRUE(c.muxeurDv);
    EXPECT_TRUE(c.muxeurAvi);
    EXPECT_TRUE(c.muxeurWav);
    EXPECT_TRUE(c.decodeurDv);
    EXPECT_TRUE(c.encodeurDv);
    EXPECT_TRUE(c.conversionAudio);
    EXPECT_TRUE(c.conversionCouleur);
    EXPECT_EQ(c.desentrelaceur, QLatin1String("yadif"));
}

TEST(RegistreFiltres, MachineRegistryHonoursTheVariable)
{
    const VariableAbsents variable("WAV Dest; Brannoc DVHeader");
    const RegistreFiltres r = RegistreFiltres::machine();
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, nomFiltre::ecritureWav));
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, nomFiltre::dvHeader));
    EXPECT_TRUE(enumere(r, CategorieFiltre::FiltresDirectShow, nomFiltre::superposer));
    EXPECT_TRUE(enumere(r, CategorieFiltre::CompresseursVideo, nomFiltre::encodeurDv));
}
