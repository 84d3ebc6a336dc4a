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
    for (const RoleFiltre* r : {&roles::te, &roles::rienAfficher, &roles::superposer, &roles::datecoder,
                                &roles::dvHeader, &roles::timeStamper})
        EXPECT_TRUE(enumere(vide, CategorieFiltre::FiltresDirectShow, r->nomConvivial)) << r->nomConvivial;
    const ConstatFiltre* encodeur = constat(vide, roles::encodeurDv.nomConvivial);
    ASSERT_NE(encodeur, nullptr);
    EXPECT_FALSE(encodeur->present);
    EXPECT_EQ(encodeur->categorie, CategorieFiltre::CompresseursVideo);
    EXPECT_TRUE(encodeur->detail.contains(QLatin1String("dvvideo")));
    ASSERT_NE(constat(vide, roles::sortieAudio.nomConvivial), nullptr);
    EXPECT_FALSE(constat(vide, roles::sortieAudio.nomConvivial)->present);
    EXPECT_TRUE(vide.enumerer(CategorieFiltre::RendusAudio).empty());

    c.encodeurDv = true;
    c.desentrelaceur = QStringLiteral("bwdif");
    c.sortieAudioParDefaut = true;
    c.sortiesAudio = {{"a", "Casque"}, {"b", "Haut-parleurs"}};
    const RegistreFiltres r = RegistreFiltres::integre(c, {});
    EXPECT_TRUE(enumere(r, CategorieFiltre::CompresseursVideo, roles::encodeurDv.nomConvivial));
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, roles::encodeurDv.nomConvivial));
    EXPECT_EQ(constat(r, roles::desentrelaceur.nomConvivial)->detail, QLatin1String("avfilter:bwdif"));
    const auto audio = r.enumerer(CategorieFiltre::RendusAudio);
    ASSERT_EQ(audio.size(), 3u);
    EXPECT_EQ(audio[0].nomConvivial, QLatin1String(roles::sortieAudio.nomConvivial));
    EXPECT_EQ(audio[1].nomConvivial, QLatin1String("Casque"));
    EXPECT_EQ(audio[2].implementation, QLatin1String("qtmultimedia:sortie-audio:b"));
}

TEST(RegistreFiltres, WithNothingFromTheMachineEachRoleSaysWhyItIsMissing)
{
    // What korvan-filtres shows on a machine without any media library part
    // or sound device, in registration order.
    const char* const attendus[] = {
        "DirectShow filters\tFile Source (Async.)\t0\tlibavformat ne lit pas les fichiers (protocole file)",
        "DirectShow filters\tFile writer\t0\tlibavformat n'écrit pas les fichiers (protocole file)",
        "DirectShow filters\tAVI Splitter\t0\tlibavformat n'a pas de démultiplexeur avi",
        "DirectShow filters\tDV Splitter\t0\tlibavformat n'a pas de démultiplexeur dv",
        "DirectShow filters\tDV Muxer\t0\tlibavformat n'a pas de multiplexeur dv",
        "DirectShow filters\tAVI Mux\t0\tlibavformat n'a pas de multiplexeur avi",
        "DirectShow filters\tDV Video Decoder\t0\tlibavcodec n'a pas de décodeur dvvideo",
        "Video compressors\tDV Video Encoder\t0\tlibavcodec n'a pas d'encodeur dvvideo",
        "DirectShow filters\tACM Wrapper\t0\tlibswresample ou l'encodeur pcm_s16le manque",
        "DirectShow filters\tInfinite Pin Tee Filter\t1\tkorvan:te",
        "DirectShow filters\tNull Renderer\t1\tkorvan:null",
        "DirectShow filters\tColor Space Converter\t0\tlibswscale ne convertit pas les images DV en RGB",
        "Audio renderers\tDefault DirectSound Device\t0\tQt Multimedia ne voit aucune sortie audio",
        "DirectShow filters\tWAV Dest\t0\tlibavformat n'a pas de multiplexeur wav",
        "DirectShow filters\tPinnacle Video Deinterlacer\t0\tlibavfilter n'a ni yadif ni bwdif",
        "DirectShow filters\tBrannoc Superposer3\t1\tkorvan:superposer3",
        "DirectShow filters\tBrannoc Datecoder2\t1\tkorvan:datecoder2",
        "DirectShow filters\tBrannoc DVHeader\t1\tkorvan:dvheader",
        "DirectShow filters\tBrannoc TimeStamper\t1\tkorvan:timestamper",
    };
    const RegistreFiltres r = RegistreFiltres::integre(CapacitesMachine{}, {});
    ASSERT_EQ(r.constats().size(), std::size(attendus));
    for (size_t i = 0; i < std::size(attendus); ++i) {
        const ConstatFiltre& c = r.constats()[i];
        EXPECT_EQ(QStringList({nomCategorie(c.categorie), c.nomConvivial, c.present ? "1" : "0", c.detail})
                      .join(u'\t'),
                  QString::fromUtf8(attendus[i]));
    }
}

TEST(RegistreFiltres, NamesMarkedAbsentAreLeftOutWhateverTheirCase)
{
    CapacitesMachine c;
    c.muxeurWav = c.demuxeurDv = true;
    const RegistreFiltres r = RegistreFiltres::integre(c, {"wav dest", "DV SPLITTER"});
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, roles::ecritureWav.nomConvivial));
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, roles::separateurDv.nomConvivial));
    const ConstatFiltre* wav = constat(r, roles::ecritureWav.nomConvivial);
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
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, roles::ecritureWav.nomConvivial));
    EXPECT_FALSE(enumere(r, CategorieFiltre::FiltresDirectShow, roles::dvHeader.nomConvivial));
    EXPECT_TRUE(enumere(r, CategorieFiltre::FiltresDirectShow, roles::superposer.nomConvivial));
    EXPECT_TRUE(enumere(r, CategorieFiltre::CompresseursVideo, roles::encodeurDv.nomConvivial));
}
