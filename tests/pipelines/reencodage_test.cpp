// The conversions that re-encode, checked against FFmpeg and MediaInfo: PAL
// to NTSC and back (standard, size, rate, aspect, duration, every frame's
// recording clock against the source's timeline, the sound in sync), the
// datecode burnt in (only where the datecoder gives text, the right text),
// any AVI recompressed to DV type 2, and the run contract (a stop, a full
// disk, a source never touched).
#include "analysis/avi_demuxer.h"
#include "analysis/aviFichier.h"
#include "analysis/dvcodes.h"
#include "analysis/son_dv.h"
#include "conversion_aide.h"
#include "pipelines/ffmpeg_glue.h"
#include "pipelines/ffmpeg_video.h"
#include "pipelines/reencodage_dv.h"
#include "platform/erreur_systeme.h"
#include "support/oracles.h"
#include "support/sortie_retenue.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>

#include <cmath>

using namespace korvan;
using namespace korvan::test;

namespace {

Constructeur standard(bool type2, int cible)
{
    return [=](TCdm& c, const QString& s, const QString& d) {
        return type2 ? c.GrapheStandardType2(s, d, cible) : c.GrapheStandardType1(s, d, cible);
    };
}

// The PAL/NTSC commands' header settings.
void reglerStandard(TCdm& cdm, bool large)
{
    cdm.DVheader().Reset(1);
    cdm.DVheader().SetHourOffset(0);
    cdm.DVheader().SetCopySubcode(false);
    cdm.DVheader().SetCreateDatePacks(true);
    cdm.DVheader().SetWide(large);
}

double fps(bool pal)
{
    return pal ? 25.0 : 30000.0 / 1001.0;
}

std::optional<TDateTime> horloge(const TrameDV& t)
{
    return DateTimeDuDatecode(DecoderDatecode(t.data(), t.size()));
}

// Every output frame carries the recording clock of a source frame shown at
// its time (within one frame either side: the fields of a converted frame
// come from two source pictures).
void verifierHorloges(const std::vector<TrameDV>& source, bool palSource, const std::vector<TrameDV>& sortie, bool palSortie)
{
    for (size_t n = 0; n < sortie.size(); ++n) {
        const std::optional<TDateTime> h = horloge(sortie[n]);
        ASSERT_TRUE(h) << "output frame " << n << " has no recording date";
        const double t = double(n) / fps(palSortie);
        const int64_t k = int64_t(std::floor(t * fps(palSource) + 1e-9));
        bool trouve = false;
        for (int64_t j = std::max<int64_t>(0, k - 1); j <= std::min<int64_t>(int64_t(source.size()) - 1, k + 1); ++j)
            trouve = trouve || horloge(source[size_t(j)]) == h;
        EXPECT_TRUE(trouve) << "output frame " << n << " (source frame " << k << ")";
    }
}

struct Faits {
    QString standard, aspect, cadence, dateEnregistrement;
    int hauteur = 0;
    double duree = 0;
};

Faits faitsDe(const std::string& chemin)
{
    const QJsonObject v = pisteMediaInfo(chemin, "Video");
    const QJsonObject f = fluxFfprobe(ffprobe(chemin, false))[0].toObject();
    EXPECT_EQ(f.value("codec_name").toString(), "dvvideo");
    return {v.value("Standard").toString(), v.value("DisplayAspectRatio").toString(), f.value("r_frame_rate").toString(),
            pisteMediaInfo(chemin, "General").value("Recorded_Date").toString(), f.value("height").toInt(),
            v.value("Duration").toString().toDouble()};
}

// A PAL clip for the sync test: black, one white frame at 1 s, and a burst
// of tone over the same 40 ms in silence.
std::string clipSynchro(const ScratchDir& d)
{
    const std::string dv = d.path("synchro.dv");
    const std::string avi = d.path("synchro.avi");
    const QStringList args{"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                           "color=black:size=720x576:rate=25:duration=3,drawbox=c=white:t=fill:enable='eq(n\\,25)'",
                           "-f", "lavfi", "-i", "aevalsrc='if(between(t\\,1\\,1.04)\\,0.8*sin(2*PI*1000*t)\\,0)':s=48000:d=3",
                           "-c:v", "dvvideo", "-pix_fmt", "yuv420p", "-ac", "2", "-metadata",
                           "creation_time=2005-03-01T12:00:00", "-f", "dv", QString::fromStdString(dv)};
    if (QProcess::execute("ffmpeg", args) != 0)
        return {};
    if (QProcess::execute("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-i", QString::fromStdString(dv), "-c",
                                     "copy", QString::fromStdString(avi)})
        != 0)
        return {};
    return avi;
}

// The first frame whose picture is mostly white, and the first sample of the burst, in seconds.
double debutFlash(const std::vector<TrameDV>& trames, bool pal)
{
    ffmpeg::DecodeurImagesDV decodeur;
    for (size_t n = 0; n < trames.size(); ++n) {
        const QImage i = decodeur.decoder(trames[n]);
        if (!i.isNull() && qGray(i.pixel(i.width() / 2, i.height() / 2)) > 128)
            return double(n) / fps(pal);
    }
    return -1;
}

double debutSon(const QByteArray& pcm)
{
    const auto* s = reinterpret_cast<const int16_t*>(pcm.constData());
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        if (std::abs(s[i]) > 8000)
            return double(i / 2) / 48000.0;
    return -1;
}

} // namespace

TEST(Reencodage, PalToNtscAndBackKeepsFormatDurationClockAndAspect)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        bool type2;
        bool large;
    };
    for (const Cas c : {Cas{"pal_t2_169.avi", true, true}, Cas{"pal_t2_43.avi", true, false},
                        Cas{"pal_t1_43.avi", false, false}, Cas{"pal_scenes_two.avi", true, false}}) {
        SCOPED_TRACE(c.nom);
        ScratchDir d;
        const std::string source = d.copyFixture(c.nom);
        const QString empreinte = sha256(source);
        const std::vector<TrameDV> trames = tramesDe(source);
        const std::string ntsc = d.path("ntsc.avi");
        const std::string pal = d.path("pal.avi");
        TCdm cdm;
        const auto reglages = [&](TCdm& m) { reglerStandard(m, c.large); };
        Resultat r = convertir(cdm, standard(c.type2, 2), source, ntsc, reglages);
        ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
        r = convertir(cdm, standard(c.type2, 1), ntsc, pal, reglages);
        ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
        EXPECT_EQ(sha256(source), empreinte);

        const double dureeSource = double(trames.size()) / 25.0;
        const QString dateSource = pisteMediaInfo(source, "General").value("Recorded_Date").toString();
        ASSERT_FALSE(dateSource.isEmpty());
        const QString aspect = c.large ? "1.778" : "1.333";
        for (const auto& [chemin, estPal] : {std::pair{ntsc, false}, std::pair{pal, true}}) {
            SCOPED_TRACE(chemin);
            const Faits f = faitsDe(chemin);
            EXPECT_EQ(f.standard, estPal ? "PAL" : "NTSC");
            EXPECT_EQ(f.hauteur, estPal ? 576 : 480);
            EXPECT_EQ(f.cadence, estPal ? "25/1" : "30000/1001");
            EXPECT_EQ(f.aspect, aspect);
            EXPECT_EQ(f.dateEnregistrement, dateSource);
            EXPECT_NEAR(f.duree, dureeSource, 1.0 / fps(estPal) + 0.001);
            // Korvan's own entry reads it as DV of that standard and type.
            TAfficherFichier e(QString::fromStdString(chemin));
            EXPECT_TRUE(e.estDV);
            EXPECT_EQ(e.typeDV, c.type2 ? 2 : 1);
            EXPECT_EQ(e.standard, estPal ? 1 : 2);
            EXPECT_EQ(e.format16x9, c.large);
        }
        const std::vector<TrameDV> sortieNtsc = tramesDe(ntsc);
        verifierHorloges(trames, true, sortieNtsc, false);
        verifierHorloges(sortieNtsc, false, tramesDe(pal), true);
    }
}

TEST(Reencodage, TheSoundStaysInSyncWithThePicture)
{
    ScratchDir d;
    const std::string source = clipSynchro(d);
    ASSERT_FALSE(source.empty()) << "ffmpeg could not make the clip";
    const double flashSource = debutFlash(tramesDe(source), true);
    ASSERT_NEAR(flashSource, 1.0, 0.001);
    ASSERT_NEAR(debutSon(sonFFmpeg(source)), 1.0, 0.001);
    TCdm cdm;
    const std::string ntsc = d.path("ntsc.avi");
    const std::string pal = d.path("retour.avi");
    ASSERT_EQ(convertir(cdm, standard(true, 2), source, ntsc).issue, IssueConversion::Terminee);
    ASSERT_EQ(convertir(cdm, standard(false, 1), ntsc, pal).issue, IssueConversion::Terminee);
    for (const auto& [chemin, estPal] : {std::pair{ntsc, false}, std::pair{pal, true}}) {
        SCOPED_TRACE(chemin);
        const std::vector<TrameDV> trames = tramesDe(chemin);
        const double image = debutFlash(trames, estPal);
        // The PCM stream (type 2) and the sound inside the frames.
        std::vector<int16_t> dansTrames;
        for (const TrameDV& t : trames)
            DecoderSonDV(t.data(), t.size(), dansTrames);
        const QByteArray pcmTrames(reinterpret_cast<const char*>(dansTrames.data()), qsizetype(dansTrames.size() * 2));
        const double sonTrames = debutSon(pcmTrames);
        EXPECT_NEAR(image, sonTrames, 1.0 / fps(estPal)) << "image " << image << " s, sound " << sonTrames << " s";
        if (!estPal) {
            const double sonFlux = debutSon(sonFFmpeg(chemin, 0));
            EXPECT_NEAR(sonFlux, sonTrames, 1.0 / 48000);
        }
        EXPECT_NEAR(image, 1.0, 1.0 / fps(estPal) + 0.001);
    }
}

TEST(Reencodage, TheBurntInDatecodeIsDrawnWhereAndWhenTheDatecoderGivesIt)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string source = d.copyFixture("pal_scenes_two.avi");
    const std::vector<TrameDV> trames = tramesDe(source);
    ASSERT_EQ(trames.size(), 32u);
    TCdm cdm;
    const auto incruster = [](TCdm& c, const QString& s, const QString& o) { return c.GrapheIncrustType2(s, o, 1); };
    const auto reglages = [&](bool visible, bool automatique) {
        return [=](TCdm& c) {
            c.datecoder().SetBurnIn(true);
            c.datecoder().SetFormat(QStringLiteral("dd/mm/yyyy hh:nn:ss"));
            c.datecoder().SetAutoDuration(5); // frames
            c.datecoder().SetAutoInlay(automatique);
            c.superposer().SetVisible(visible);
            c.superposer().SetPosition(920, 120, 0);
            c.DVheader().Reset(1);
            c.DVheader().SetCopySubcode(true);
        };
    };
    const std::string sans = d.path("sans.avi");
    const std::string toujours = d.path("toujours.avi");
    const std::string auto5 = d.path("auto.avi");
    ASSERT_EQ(convertir(cdm, incruster, source, sans, reglages(false, false)).issue, IssueConversion::Terminee);
    ASSERT_EQ(convertir(cdm, incruster, source, toujours, reglages(true, false)).issue, IssueConversion::Terminee);
    ASSERT_EQ(convertir(cdm, incruster, source, auto5, reglages(true, true)).issue, IssueConversion::Terminee);

    const std::vector<TrameDV> a = tramesDe(sans), b = tramesDe(toujours), c = tramesDe(auto5);
    ASSERT_EQ(a.size(), trames.size());
    ASSERT_EQ(b.size(), trames.size());
    ASSERT_EQ(c.size(), trames.size());
    // The second stream is the source's, chunk for chunk.
    EXPECT_TRUE(sonFFmpeg(toujours, 0) == sonFFmpeg(source, 0));
    // The source's packs travel: clock and time code of every frame.
    for (size_t n = 0; n < trames.size(); ++n) {
        EXPECT_EQ(horloge(b[n]), horloge(trames[n])) << n;
        EXPECT_EQ(DecoderTimecode(b[n].data(), b[n].size()), DecoderTimecode(trames[n].data(), trames[n].size())) << n;
    }

    ffmpeg::DecodeurImagesDV decodeur;
    Superposer place;
    place.SetPosition(920, 120, 0);
    Datecoder textes;
    textes.SetFormat(QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    for (size_t n = 0; n < trames.size(); ++n) {
        SCOPED_TRACE(n);
        const QString texte = textes.traiter(trames[n]);
        ASSERT_FALSE(texte.isEmpty());
        const QImage nu = decodeur.decoder(a[n]);
        const QImage avec = decodeur.decoder(b[n]);
        const QImage automatique = decodeur.decoder(c[n]);
        const QRect zone = place.zoneTexte(nu.size(), texte);
        // Ink inside the text's box only (the encoder's 8x8 blocks aside).
        int encre = 0, dehors = 0;
        for (int y = 0; y < nu.height(); ++y)
            for (int x = 0; x < nu.width(); ++x) {
                const bool change = std::abs(qGray(nu.pixel(x, y)) - qGray(avec.pixel(x, y))) > 40;
                (zone.adjusted(-8, -8, 8, 8).contains(x, y) ? encre : dehors) += change;
            }
        EXPECT_GT(encre, 50);
        EXPECT_EQ(dehors, 0);
        // Automatic inlay: the first five frames of each recording carry the text.
        const bool attendu = n < 5 || (n >= 16 && n < 21);
        EXPECT_EQ(automatique == avec, attendu);
        EXPECT_EQ(automatique == nu, !attendu);
    }
    // The text is the frame's own: at the break it follows the new recording.
    const auto ecart = [&](size_t n, const QString& texte) {
        QImage attendu = decodeur.decoder(a[n]);
        place.traiter(attendu, texte);
        const QImage obtenu = decodeur.decoder(b[n]);
        const QRect z = place.zoneTexte(attendu.size(), texte);
        int64_t somme = 0;
        for (int y = z.top(); y <= z.bottom(); ++y)
            for (int x = z.left(); x <= z.right(); ++x)
                somme += std::abs(qGray(attendu.pixel(x, y)) - qGray(obtenu.pixel(x, y)));
        return double(somme) / (z.width() * z.height());
    };
    Datecoder avant, apres;
    for (Datecoder* t : {&avant, &apres})
        t->SetFormat(QStringLiteral("dd/mm/yyyy hh:nn:ss"));
    const QString texte15 = avant.traiter(trames[15]);
    const QString texte16 = apres.traiter(trames[16]);
    ASSERT_NE(texte15, texte16);
    EXPECT_LT(ecart(15, texte15), ecart(15, texte16));
    EXPECT_LT(ecart(16, texte16), ecart(16, texte15));
}

TEST(Reencodage, RecompressedClipsAreDVType2OfTheStandardAsked)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    // A 16:9 MPEG-4 clip with sound, besides the shared MJPEG and MPEG-4 ones.
    const std::string large = d.path("large.avi");
    ASSERT_EQ(QProcess::execute("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                           "testsrc2=size=640x360:rate=30:duration=1.5", "-f", "lavfi", "-i",
                                           "sine=frequency=440:sample_rate=44100:duration=1.5", "-c:v", "mpeg4",
                                           "-c:a", "pcm_s16le", QString::fromStdString(large)}),
              0);
    struct Cas {
        std::string source;
        int standard;
        bool large;
        bool son;
        double duree;
    };
    const Cas cas[] = {
        {d.copyFixture("mjpeg_pcm.avi"), 1, false, true, 1.0},
        {d.copyFixture("mpeg4_video_only.avi"), 2, false, false, 1.2},
        {large, 1, true, true, 1.5},
        {large, 2, true, true, 1.5},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.source + " to " + std::to_string(c.standard));
        const QString empreinte = sha256(c.source);
        const std::string sortie = d.path("dv" + std::to_string(&c - cas) + ".avi");
        TCdm cdm;
        const Resultat r = convertir(
            cdm, [&](TCdm& m, const QString& s, const QString& o) { return m.GrapheRecompresser(s, o, c.standard); },
            c.source, sortie, [&](TCdm& m) {
                m.DVheader().Reset(1);
                m.DVheader().SetWide(c.large);
            });
        ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
        EXPECT_EQ(sha256(c.source), empreinte);
        const bool pal = c.standard == 1;
        TAfficherFichier e(QString::fromStdString(sortie));
        EXPECT_TRUE(e.estDV);
        EXPECT_EQ(e.typeDV, 2);
        EXPECT_EQ(e.standard, c.standard);
        EXPECT_EQ(e.format16x9, c.large);
        const Faits f = faitsDe(sortie);
        EXPECT_EQ(f.standard, pal ? "PAL" : "NTSC");
        EXPECT_NEAR(f.duree, c.duree, 1.0 / fps(pal) + 0.001);
        const QJsonArray flux = fluxFfprobe(ffprobe(sortie));
        ASSERT_EQ(flux.size(), c.son ? 2 : 1);
        if (c.son) {
            EXPECT_EQ(flux[1].toObject().value("sample_rate").toString(), "48000");
            EXPECT_NEAR(double(sonFFmpeg(sortie, 0).size()) / (48000 * 4), c.duree, 1.0 / fps(pal) + 0.001);
        }
        // The OpenDML indexes only: no AVI 1.0 index, every frame found.
        const AviDemuxer lu = AviDemuxer::ouvrir(sortie);
        EXPECT_EQ(readWholeFile(sortie).find("idx1"), std::string::npos);
        EXPECT_EQ(int64_t(lu.frameIndex(0).size()), flux[0].toObject().value("nb_read_packets").toString().toInt());
    }
}

TEST(Reencodage, AStopLeavesAValidShorterOutputAndFailuresAreTold)
{
    KORVAN_REQUIRE_FIXTURES();
    ScratchDir d;
    const std::string source = d.copyFixture("pal_scenes_merge.avi");
    const std::string mjpeg = d.copyFixture("mjpeg_pcm.avi");
    const QString empreinte = sha256(source);
    const size_t total = tramesDe(source).size();
    struct Cas {
        const char* nom;
        std::string source;
        Constructeur construire;
    };
    const Cas cas[] = {
        {"ntsc", source, standard(true, 2)},
        {"incrustation", source, [](TCdm& c, const QString& s, const QString& o) { return c.GrapheIncrustType2(s, o, 1); }},
        {"recompression", mjpeg, [](TCdm& c, const QString& s, const QString& o) { return c.GrapheRecompresser(s, o, 1); }},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        // Stopped while its output is held at the 20th write.
        {
            TCdm cdm;
            std::atomic<bool> relache{false};
            RegleSortie regle;
            regle.retenue = 20;
            regle.liberee = [&] { return relache.load(); };
            cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
            const std::string sortie = d.path(std::string(c.nom) + "_partiel.avi");
            ASSERT_TRUE(c.construire(cdm, QString::fromStdString(c.source), QString::fromStdString(sortie)));
            cdm.Lancer();
            while (!regle.atteinte)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            cdm.DemanderArret();
            relache = true;
            cdm.Arreter();
            EXPECT_EQ(cdm.issue(), IssueConversion::Interrompue);
            const AviDemuxer lu = AviDemuxer::ouvrir(sortie);
            EXPECT_FALSE(lu.interrupted());
            const size_t ecrites = lu.frameIndex(0).size();
            EXPECT_GT(ecrites, 0u);
            EXPECT_LT(ecrites, total);
            EXPECT_EQ(fluxFfprobe(ffprobe(sortie))[0].toObject().value("nb_read_packets").toString().toInt(), int(ecrites));
            progressionConversion = nullptr;
        }
        // A disk that fills: told, and the output removed.
        {
            TCdm cdm;
            RegleSortie regle;
            regle.limite = 300000;
            cdm.definirFabriqueSortie(SortieRetenue::fabrique(regle));
            const std::string sortie = d.path(std::string(c.nom) + "_plein.avi");
            const Resultat r = convertir(cdm, c.construire, c.source, sortie);
            EXPECT_EQ(r.issue, IssueConversion::Echec);
            EXPECT_EQ(r.echec, QStringLiteral("Impossible d'écrire le fichier ") + QString::fromStdString(sortie) + "\r\n" +
                                   TexteErreurSysteme(ENOSPC));
            EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(sortie)));
        }
    }
    EXPECT_EQ(sha256(source), empreinte);
    // What cannot be re-encoded is refused with its reason.
    TCdm cdm;
    const Resultat r = convertir(
        cdm, [](TCdm& c, const QString& s, const QString& o) { return c.GrapheRecompresser(s, o, 1); },
        d.copyFixture("pcm_audio_only.avi"), d.path("rien.avi"));
    EXPECT_FALSE(r.construit);
    EXPECT_TRUE(r.echec.endsWith("Le fichier ne contient pas de vidéo")) << r.echec.toStdString();
}

TEST(Reencodage, DrawingNothingLeavesThePictureAsItWas)
{
    KORVAN_REQUIRE_FIXTURES();
    // The band a drawing goes through is converted to RGB and back: at any
    // place and size, nothing drawn must mean nothing changed but rounding.
    const std::vector<TrameDV> trames = tramesFixture("pal_t2_43.avi");
    for (const QRect zone : {QRect(333, 61, 301, 37), QRect(0, 0, 7, 3), QRect(713, 570, 7, 6), QRect(1, 1, 718, 574)}) {
        SCOPED_TRACE(zone.x());
        ffmpeg::DecodeurDV decodeur(1);
        ffmpeg::ImagePtr telle = decodeur.decoder(trames[3], 3);
        ffmpeg::ImagePtr dessinee = decodeur.decoder(trames[3], 3);
        QImage toile;
        ffmpeg::DessinerSur(dessinee, toile, zone, [](QImage&) {});
        std::vector<uint8_t> a, b;
        ffmpeg::EncodeurDV encodeur(true, false, 1);
        encodeur.envoyer(std::move(telle));
        ASSERT_TRUE(encodeur.recevoir(a));
        encodeur.envoyer(std::move(dessinee));
        ASSERT_TRUE(encodeur.recevoir(b));
        ffmpeg::DecodeurImagesDV images;
        const QImage x = images.decoder(a), y = images.decoder(b);
        int pire = 0;
        for (int j = 0; j < x.height(); ++j)
            for (int i = 0; i < x.width(); ++i)
                pire = std::max(pire, std::abs(qGray(x.pixel(i, j)) - qGray(y.pixel(i, j))));
        EXPECT_LT(pire, 24);
    }
}
