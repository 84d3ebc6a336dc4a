// DV type 2 -> type 1 -> type 2 and type 1 -> type 2 -> type 1 on every DV
// fixture: frame by frame every block but the samples kept (the date, time
// and time code packs with them), the sound against ffmpeg's decoding of the
// source, ffprobe and MediaInfo reading the right type, standard, duration
// and sound from every output, and golden hashes of the outputs. Also the
// second stereo pair of 12-bit sound carried as a second stream.
#include "analysis/dvcodes.h"
#include "analysis/systeme_dv.h"
#include "analysis/ecrivain_avi.h"
#include "analysis/son_dv.h"
#include "conversion_aide.h"
#include "support/oracles.h"

#include <QFileInfo>
#include <QJsonArray>

#include <map>

using namespace korvan;
using namespace korvan::test;

namespace {

struct Attendu {
    bool pal;
    size_t images;
    int frequence;
};

// What ffprobe and MediaInfo must say of an output: its DV type (type 1: one
// video stream whose sound MediaInfo finds muxed in the frames; type 2: a
// video stream and PCM streams), the standard, the frame count and duration,
// the sound.
void verifierLecteurs(const std::string& chemin, int type, const Attendu& a, int pairesSon = 1)
{
    SCOPED_TRACE(QFileInfo(QString::fromStdString(chemin)).fileName().toStdString());
    const QJsonArray flux = fluxFfprobe(ffprobe(chemin));
    ASSERT_EQ(flux.size(), 1 + pairesSon);
    const QJsonObject v = flux[0].toObject();
    EXPECT_EQ(v.value("codec_name").toString(), "dvvideo");
    EXPECT_EQ(v.value("width").toInt(), 720);
    EXPECT_EQ(v.value("height").toInt(), a.pal ? 576 : 480);
    EXPECT_EQ(v.value("r_frame_rate").toString(), a.pal ? "25/1" : "30000/1001");
    EXPECT_EQ(v.value("nb_read_packets").toString().toInt(), int(a.images));
    for (int p = 1; p <= pairesSon; ++p) {
        const QJsonObject s = flux[p].toObject();
        EXPECT_EQ(s.value("codec_type").toString(), "audio");
        EXPECT_EQ(s.value("sample_rate").toString().toInt(), a.frequence);
        EXPECT_EQ(s.value("channels").toInt(), 2);
    }
    const double secondes = double(a.images) * (a.pal ? 0.04 : 1001.0 / 30000);
    const QJsonObject video = pisteMediaInfo(chemin, "Video");
    EXPECT_NEAR(video.value("Duration").toString().toDouble(), secondes, 0.0011);
    EXPECT_EQ(video.value("Format").toString(), "DV");
    EXPECT_EQ(video.value("Standard").toString(), a.pal ? "PAL" : "NTSC");
    const QJsonObject audio = pisteMediaInfo(chemin, "Audio");
    EXPECT_EQ(audio.value("SamplingRate").toString().toInt(), a.frequence);
    EXPECT_EQ(audio.value("MuxingMode").toString(), type == 1 ? "DV" : "");
}

QByteArray sonDesTrames(const std::vector<TrameDV>& t, int paire = 0)
{
    std::vector<int16_t> s;
    for (const TrameDV& f : t)
        DecoderSonDV(f.data(), f.size(), s, paire);
    return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size() * 2));
}

// The golden outputs: the hash of each converted file, by source and step.
const std::map<std::string, std::pair<const char*, const char*>> kEmpreintes = {
#include "empreintes_conversions.inc"
};

} // namespace

TEST(ConversionsType, RoundTripsOnEveryDVFixtureKeepFramesPacksAndSound)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        bool deType2; // the trip starts from type 2
    };
    // The interrupted capture is no DV entry for the list (its container is
    // not valid), but its frames convert all the same; the type 1 file with
    // a sound stream of its own goes to type 1 with that sound.
    const Cas fixtures[] = {
        {"pal_t2_43.avi", true},         {"pal_t2_169.avi", true},        {"ntsc_t2_43.avi", true},
        {"pal_scenes_two.avi", true},    {"pal_scenes_merge.avi", true},  {"pal_no_date.avi", true},
        {"pal_date_gap.avi", true},      {"pal_ff_date.avi", true},       {"pal_no_tc.avi", true},
        {"pal_disp7_ap3_0.avi", true},   {"pal_disp7_ap3_1.avi", true},   {"pal_handler_DVSD.avi", true},
        {"pal_handler_dsvd.avi", true},  {"pal_handler_CDVC.avi", true},  {"pal_junk_odd.avi", true},
        {"pal_truncated.avi", true},     {"pal_trailing16.avi", true},    {"pal_long_strh.avi", true},
        {"pal_t1_plus_auds.avi", true},  {"pal_t1_43.avi", false},        {"ntsc_t1_32k.avi", false},
    };
    TCdm cdm;
    std::map<std::string, std::pair<QString, QString>> empreintes;
    for (const auto [nom, deType2] : fixtures) {
        SCOPED_TRACE(nom);
        const std::string source = fixture(nom);
        const std::vector<TrameDV> images = tramesFixture(nom);
        ASSERT_FALSE(images.empty());
        const bool pal = EstSysteme625(images[0].data(), images[0].size());
        SourceAudioDV son;
        ASSERT_TRUE(LireSourceAudioDV(images[0].data(), images[0].size(), son));
        const Attendu a{pal, images.size(), son.frequence};
        // The source's sound as ffmpeg decodes it (its sound stream, or the sound of its frames).
        const QByteArray reference = sonFFmpeg(source);
        ASSERT_FALSE(reference.isEmpty());

        ScratchDir d;
        const std::string premier = d.path(deType2 ? "t1.avi" : "t2.avi");
        const std::string retour = d.path(deType2 ? "t2.avi" : "t1.avi");
        const Graphe aller = deType2 ? &TCdm::GrapheVersType1 : &TCdm::GrapheVersType2;
        const Graphe revenir = deType2 ? &TCdm::GrapheVersType2 : &TCdm::GrapheVersType1;
        const Resultat r1 = convertir(cdm, aller, source, premier);
        ASSERT_TRUE(r1.construit) << r1.echec.toStdString();
        ASSERT_EQ(r1.issue, IssueConversion::Terminee) << r1.echec.toStdString();
        const Resultat r2 = convertir(cdm, revenir, premier, retour);
        ASSERT_TRUE(r2.construit) << r2.echec.toStdString();
        ASSERT_EQ(r2.issue, IssueConversion::Terminee) << r2.echec.toStdString();

        const std::string& t1 = deType2 ? premier : retour;
        const std::string& t2 = deType2 ? retour : premier;
        const std::vector<TrameDV> imagesT1 = tramesDe(t1);
        const std::vector<TrameDV> imagesT2 = tramesDe(t2);
        // Frames: the type 2 video is the type 1 frames whole; both keep the
        // source's blocks but the samples.
        EXPECT_TRUE(imagesT1 == imagesT2);
        verifierImagesGardees(images, imagesT1);
        // Sound: the frames of the type 1 file, ffmpeg's reading of either
        // file and the type 2 PCM stream are the source's samples.
        const QByteArray sonT1 = sonDesTrames(imagesT1);
        EXPECT_TRUE(sonT1 == aLaLongueur(reference, sonT1.size()));
        EXPECT_TRUE(sonFFmpeg(t1) == sonT1);
        EXPECT_TRUE(sonFFmpeg(t2) == sonT1);

        verifierLecteurs(t1, 1, a);
        verifierLecteurs(t2, 2, a);
        empreintes[nom] = {sha256(deType2 ? premier : retour), sha256(deType2 ? retour : premier)};
        const auto golden = kEmpreintes.find(nom);
        EXPECT_NE(golden, kEmpreintes.end()) << "no golden hashes";
        if (golden != kEmpreintes.end()) {
            EXPECT_EQ(empreintes[nom].first, QLatin1String(golden->second.first)) << "type 1 output";
            EXPECT_EQ(empreintes[nom].second, QLatin1String(golden->second.second)) << "type 2 output";
        }
    }
    if (::testing::Test::HasFailure())
        for (const auto& [nom, e] : empreintes)
            std::printf("    {\"%s\", {\"%s\", \"%s\"}},\n", nom.c_str(), qPrintable(e.first), qPrintable(e.second));
}

TEST(ConversionsType, TheSecondStereoPairOf12BitSoundBecomesASecondStream)
{
    KORVAN_REQUIRE_FIXTURES();
    // A type 1 clip of 12-bit frames with both pairs: the frames of the
    // fixture with new sound, in a new interleaved stream.
    const auto trames = tramesDouzeBits(true);
    ScratchDir d;
    const std::string brut = ecrireDVBrut(d.path("douze.dv"), trames);
    const std::string type1 = d.path("douze.avi");
    const std::string type2 = d.path("douze_type2.avi");
    const std::string retour = d.path("douze_type1.avi");
    {
        const AviDemuxer fixture1 = AviDemuxer::ouvrir(fixture("pal_t1_43.avi"));
        SortieFichier f(type1);
        const AviStreamInfo& s = fixture1.streams()[0];
        EcrivainAvi avi(f, {{s.header, s.format, FourCC("00dc")}}, {40000, 720, 576});
        for (const auto& t : trames)
            avi.ecrire(0, t.data(), uint32_t(t.size()));
        avi.terminer();
    }
    TCdm cdm;
    Resultat r = convertir(cdm, &TCdm::GrapheVersType2, type1, type2);
    ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
    verifierLecteurs(type2, 2, {true, trames.size(), 32000}, 2);
    for (int paire = 0; paire < 2; ++paire) {
        SCOPED_TRACE(paire);
        const QByteArray eux = sonFFmpeg({"-f", "dv", "-i", QString::fromStdString(brut)}, paire);
        ASSERT_FALSE(eux.isEmpty());
        EXPECT_TRUE(sonFFmpeg(type2, paire) == eux);
        EXPECT_TRUE(sonDesTrames(trames, paire) == eux);
    }
    // Back to type 1: the DV muxer writes one 16-bit pair, the first.
    r = convertir(cdm, &TCdm::GrapheVersType1, type2, retour);
    ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
    const std::vector<TrameDV> sortie = tramesDe(retour);
    verifierImagesGardees(trames, sortie);
    EXPECT_EQ(PairesSonDV(sortie[0].data(), sortie[0].size()), 1);
    EXPECT_TRUE(sonDesTrames(sortie) == sonFFmpeg({"-f", "dv", "-i", QString::fromStdString(brut)}, 0));
}

TEST(ConversionsType, AType2FileWithoutSoundKeepsItsFramesSound)
{
    KORVAN_REQUIRE_FIXTURES();
    // pal_t2_43 with its sound stream dropped: the video stream alone.
    const AviDemuxer source = AviDemuxer::ouvrir(fixture("pal_t2_43.avi"));
    const std::vector<TrameDV> images = tramesFixture("pal_t2_43.avi");
    ScratchDir d;
    const std::string muet = d.path("muet.avi");
    const std::string t1 = d.path("muet_type1.avi");
    {
        SortieFichier f(muet);
        const AviStreamInfo& s = source.streams()[0];
        EcrivainAvi avi(f, {{s.header, s.format, FourCC("00dc")}}, {40000, 720, 576});
        for (const auto& t : images)
            avi.ecrire(0, t.data(), uint32_t(t.size()));
        avi.terminer();
    }
    TCdm cdm;
    const Resultat r = convertir(cdm, &TCdm::GrapheVersType1, muet, t1);
    ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
    EXPECT_TRUE(tramesDe(t1) == images);
    verifierLecteurs(t1, 1, {true, images.size(), 48000});
}

TEST(ConversionsType, SourcesWithoutDVFramesAreRefusedWithTheirReason)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        Graphe graphe;
        const char* raison;
    };
    const Cas cas[] = {
        {"not_riff.avi", &TCdm::GrapheVersType1, "Le fichier n'est pas un fichier AVI lisible"},
        {"mjpeg_pcm.avi", &TCdm::GrapheVersType1, "Le premier flux du fichier n'est pas de la vidéo DV"},
        {"pcm_audio_only.avi", &TCdm::GrapheVersType2, "Le premier flux du fichier n'est pas de la vidéo DV"},
        {"empty.avi", &TCdm::GrapheVersType2, "Le fichier n'est pas un fichier AVI lisible"},
    };
    TCdm cdm;
    ScratchDir d;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string sortie = d.path("sortie.avi");
        const Resultat r = convertir(cdm, c.graphe, fixture(c.nom), sortie);
        EXPECT_FALSE(r.construit);
        EXPECT_EQ(r.echec, QStringLiteral("Impossible de convertir le fichier ") + QString::fromStdString(fixture(c.nom)) +
                               QStringLiteral("\r\n") + QString::fromUtf8(c.raison));
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(sortie)));
        EXPECT_EQ(cdm.Duree(), 0);
    }
}
