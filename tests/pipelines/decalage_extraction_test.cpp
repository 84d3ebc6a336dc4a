// The clock shift and the sound extraction through the conversion module:
// a shifted clip differs from its source only in the bytes of its date and
// time packs, by exactly the offset, across midnight, month and year ends,
// and keeps its type and its sound stream; a WAV file holds the first sound
// of the clip, sample for sample as ffmpeg decodes the source.
#include "analysis/avi_demuxer.h"
#include "analysis/dvcodes.h"
#include "conversion_aide.h"
#include "horloge_dv.h"
#include "support/oracles.h"

#include <QFileInfo>

using namespace korvan;
using namespace korvan::test;

namespace {

// A copy of a fixture whose clock starts at `debut`, each frame keeping its
// distance from the first frame's clock (frames without a date keep none).
std::string copieAvecHorloge(const ScratchDir& d, const std::string& nom, const QDateTime& debut)
{
    const std::string chemin = d.copyFixture(nom, "source.avi");
    if (!debut.isValid())
        return chemin;
    const AviDemuxer avi = AviDemuxer::ouvrir(chemin);
    BinaryFile f(chemin, BinaryFile::Mode::ReadWrite);
    QDateTime premiere;
    for (const AviFrame& i : avi.frameIndex(0)) {
        TrameDV t(i.size);
        EXPECT_TRUE(f.readExactAt(i.offset, t.data(), t.size()));
        const QDateTime h = horlogeCommune(t);
        if (!h.isValid())
            continue;
        if (!premiere.isValid())
            premiere = h;
        const QDateTime n = debut.addSecs(premiere.secsTo(h));
        const TDatecodeDV dc{n.date().year(), uint8_t(n.date().month()), uint8_t(n.date().day()),
                             uint8_t(n.time().hour()), uint8_t(n.time().minute()), uint8_t(n.time().second())};
        EXPECT_GT(EcrireDatecodeDV(t.data(), t.size(), dc, false), 0);
        f.writeAt(i.offset, t.data(), t.size());
    }
    return chemin;
}

void reglerDecalage(TCdm& cdm, int heures)
{
    IDVHeaderConfig& h = cdm.DVheader();
    h.Reset(1);
    h.SetHourOffset(heures);
    h.SetCopySubcode(false);
    h.SetCreateDatePacks(false);
    h.SetSingleInput(true);
}

std::vector<std::string> chunksDe(const AviDemuxer& avi, int flux)
{
    std::vector<std::string> v;
    for (const AviFrame& f : avi.frameIndex(flux)) {
        std::string o(f.size, '\0');
        EXPECT_TRUE(avi.source().readExactAt(f.offset, o.data(), o.size()));
        v.push_back(std::move(o));
    }
    return v;
}

} // namespace

TEST(DecalageHoraire, OnlyTheClockPacksChangeByExactlyTheOffset)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        QDateTime debut; // invalid: the fixture's own clock
        int heures;
        const char* premiereApres; // the first frame's clock after the shift, "" without one
        const char* sha256;  // of the output
    };
    const Cas cas[] = {
        // The source itself crosses the year end one second in.
        {"pal_t2_43.avi", QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59)), 2, "2010-01-01 01:59:59",
         "cf4b5af3862e5c863ecd311bdb86bd11586e4747a6963dd12d79db1709381a53"},
        {"pal_t2_43.avi", QDateTime(QDate(2008, 2, 28), QTime(23, 30, 0)), 1, "2008-02-29 00:30:00",
         "7e046c4c7fab609ce917fe7d930ca3ca3d5d72fa41994681bf4364ec3aefb7e1"},
        {"ntsc_t2_43.avi", QDateTime(QDate(2001, 1, 1), QTime(0, 30, 0)), -3, "2000-12-31 21:30:00",
         "2b08df2969aa117238566f345026cd51c34b34980e91aeba175ca504e04713f0"},
        {"pal_t1_43.avi", QDateTime(), 1, "2002-03-01 00:59:58",
         "0886260a37a0cc7544610b5fbf838b311b4e9c251127eb1df09916bef93e06c3"},
        {"pal_t1_43.avi", QDateTime(), -23, "2002-02-28 00:59:58",
         "cb2096fecc76a41aef8e8b92b731033b5073b9a83b6505a0b7a6b22b45a80c70"},
        {"pal_scenes_two.avi", QDateTime(), 23, "2004-07-15 09:31:05",
         "1881a7a5f8982ff7a35f68e0ad4f5c6add508cce5a4755775ab60f12a716b450"},
        {"pal_date_gap.avi", QDateTime(), -5, "2004-09-09 04:09:09",
         "c9a27202c01e710d246892373802a57a6ddcb01dd34b5dcfd54b087624a490b4"},
        {"pal_no_date.avi", QDateTime(), 4, "",
         "77378197033ccbc8378264c7f2fe62face115cf4c41ee6e8d694893fb881e344"},
    };
    TCdm cdm;
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(c.nom) + " " + std::to_string(c.heures));
        ScratchDir d;
        const std::string source = copieAvecHorloge(d, c.nom, c.debut);
        const std::string sortie = d.path("sortie.avi");
        const std::string empreinteSource = sha256(source).toStdString();
        const Resultat r = convertir(cdm, &TCdm::GrapheDecalageHoraire, source, sortie,
                                     [&](TCdm& m) { reglerDecalage(m, c.heures); });
        ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
        EXPECT_EQ(sha256(source).toStdString(), empreinteSource);

        const AviDemuxer avant = AviDemuxer::ouvrir(source);
        const AviDemuxer apres = AviDemuxer::ouvrir(sortie);
        // The same type: the same stream headers and formats, the sound stream copied.
        const size_t flux = std::min<size_t>(avant.streams().size(), 2);
        ASSERT_EQ(apres.streams().size(), flux);
        for (size_t n = 0; n < flux; ++n) {
            EXPECT_EQ(apres.streams()[n].header.fccType, avant.streams()[n].header.fccType);
            EXPECT_EQ(apres.streams()[n].header.fccHandler, avant.streams()[n].header.fccHandler);
            EXPECT_EQ(apres.streams()[n].header.dwRate, avant.streams()[n].header.dwRate);
            EXPECT_EQ(apres.streams()[n].format, avant.streams()[n].format);
        }
        if (flux > 1)
            EXPECT_TRUE(chunksDe(avant, 1) == chunksDe(apres, 1));

        const std::vector<TrameDV> images = tramesDe(source);
        const std::vector<TrameDV> decalees = tramesDe(sortie);
        ASSERT_EQ(decalees.size(), images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE(i);
            const std::set<size_t> permis = octetsHorloge(images[i]);
            for (size_t o = 0; o < images[i].size(); ++o)
                if (images[i][o] != decalees[i][o])
                    ASSERT_TRUE(permis.count(o)) << "byte " << o << " changed outside the clock packs";
            const QDateTime h = horlogeCommune(images[i]);
            if (h.isValid())
                EXPECT_EQ(horlogeCommune(decalees[i]), h.addSecs(c.heures * 3600));
            else
                EXPECT_TRUE(images[i] == decalees[i]);
        }
        const QDateTime premiere = horlogeCommune(decalees[0]);
        EXPECT_EQ(premiere.isValid() ? premiere.toString("yyyy-MM-dd hh:mm:ss") : QString(), QLatin1String(c.premiereApres));
        // MediaInfo reads the new clock and every frame is there for ffprobe.
        EXPECT_EQ(pisteMediaInfo(sortie, "General").value("Recorded_Date").toString().left(19), QLatin1String(c.premiereApres));
        EXPECT_EQ(fluxFfprobe(ffprobe(sortie))[0].toObject().value("nb_read_packets").toString().toInt(), int(images.size()));
        EXPECT_EQ(sha256(sortie), QLatin1String(c.sha256));
    }
}

TEST(ExtraireAudio, TheFirstSoundOfTheClipSampleForSample)
{
    KORVAN_REQUIRE_FIXTURES();
    struct Cas {
        const char* nom;
        int frequence;
        int canaux;
    };
    // A type 2 sound stream; DV sound at 48 and 32 kHz; an interleaved
    // stream before a sound stream (its sound comes first, and the fixture's
    // sound stream holds the same samples for ffmpeg to decode); PCM of
    // other files, mono included.
    const Cas cas[] = {
        {"pal_t2_43.avi", 48000, 2},  {"pal_t1_43.avi", 48000, 2},  {"ntsc_t1_32k.avi", 32000, 2},
        {"pal_t1_plus_auds.avi", 48000, 2}, {"mjpeg_pcm.avi", 44100, 2}, {"pcm_audio_only.avi", 44100, 1},
    };
    TCdm cdm;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        ScratchDir d;
        const std::string sortie = d.path("son.wav");
        const Resultat r = convertir(cdm, &TCdm::GrapheExtraireAudio, fixture(c.nom), sortie);
        ASSERT_TRUE(r.construit) << r.echec.toStdString();
        ASSERT_EQ(r.issue, IssueConversion::Terminee) << r.echec.toStdString();
        const QJsonArray flux = fluxFfprobe(ffprobe(sortie, false));
        ASSERT_EQ(flux.size(), 1);
        EXPECT_EQ(flux[0].toObject().value("codec_name").toString(), "pcm_s16le");
        EXPECT_EQ(flux[0].toObject().value("sample_rate").toString().toInt(), c.frequence);
        EXPECT_EQ(flux[0].toObject().value("channels").toInt(), c.canaux);
        const QByteArray son = sonFFmpeg(sortie);
        EXPECT_FALSE(son.isEmpty());
        EXPECT_TRUE(son == sonFFmpeg(fixture(c.nom)));
        // The duration the graph gave is the sound's.
        const double secondes = double(son.size()) / (2.0 * c.canaux * c.frequence);
        EXPECT_NEAR(double(r.duree) / 1e7, secondes, 0.0011);
        EXPECT_NEAR(pisteMediaInfo(sortie, "Audio").value("Duration").toString().toDouble(), secondes, 0.0011);
    }
    // A clip without sound has nothing to extract.
    const Resultat r = convertir(cdm, &TCdm::GrapheExtraireAudio, fixture("mpeg4_video_only.avi"), "/tmp/sans_son.wav");
    EXPECT_FALSE(r.construit);
    EXPECT_EQ(r.echec, QStringLiteral("Impossible de convertir le fichier ") +
                           QString::fromStdString(fixture("mpeg4_video_only.avi")) +
                           QStringLiteral("\r\nLe fichier ne contient pas de son"));
    EXPECT_FALSE(QFileInfo::exists("/tmp/sans_son.wav"));
}
