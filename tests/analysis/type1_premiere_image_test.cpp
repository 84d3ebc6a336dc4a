// DV type 1 clips whose first frame is damaged (zeroes, garbage, its AAUX
// source packs gone): the entry still reads them as DV, from the stream
// format and the first readable frame, as ffprobe or MediaInfo do.
#include "analysis/aviFichier.h"
#include "analysis/avi_demuxer.h"
#include "analysis/dvcodes.h"
#include "analysis/positions_packs_dv.h"
#include "support/fixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace korvan;
using namespace korvan::test;

namespace {

// What a reader says of a clip; none where it says nothing.
struct Faits {
    std::optional<bool> pal;
    std::optional<bool> large; // 16:9
    std::optional<int> frequence;
    std::optional<int> canaux;
};

QJsonObject json(const QString& programme, const QStringList& args)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(programme), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

std::optional<bool> parmi(const QString& valeur, const QString& oui, const QString& non)
{
    if (valeur == oui)
        return true;
    if (valeur == non)
        return false;
    return std::nullopt;
}

Faits selonFfprobe(const std::string& chemin)
{
    Faits f;
    const QJsonObject o = json("ffprobe", {"-v", "quiet", "-show_streams", "-of", "json", QString::fromStdString(chemin)});
    for (const QJsonValue& v : o.value("streams").toArray()) {
        const QJsonObject s = v.toObject();
        if (s.value("codec_type") == "video" && s.value("codec_name") == "dvvideo") {
            f.pal = parmi(QString::number(s.value("height").toInt()), "576", "480");
            f.large = parmi(s.value("display_aspect_ratio").toString(), "16:9", "4:3");
        } else if (s.value("codec_type") == "audio") {
            f.frequence = s.value("sample_rate").toString().toInt();
            f.canaux = s.value("channels").toInt();
        }
    }
    return f;
}

// MediaInfo also gives the time code of the first frame it could read.
Faits selonMediaInfo(const std::string& chemin, QString* timecode = nullptr)
{
    Faits f;
    const QJsonObject o = json("mediainfo", {"--Output=JSON", QString::fromStdString(chemin)});
    for (const QJsonValue& v : o.value("media").toObject().value("track").toArray()) {
        const QJsonObject t = v.toObject();
        if (t.value("@type") == "Video" && t.value("Format") == "DV") {
            f.pal = parmi(t.value("Standard").toString(), "PAL", "NTSC");
            f.large = parmi(t.value("DisplayAspectRatio").toString(), "1.778", "1.333");
            if (timecode)
                *timecode = t.value("TimeCode_FirstFrame").toString();
        } else if (t.value("@type") == "Audio") {
            f.frequence = t.value("SamplingRate").toString().toInt();
            f.canaux = t.value("Channels").toString().toInt();
        }
    }
    return f;
}

Faits selonEntree(const TAfficherFichier& e)
{
    Faits f;
    if (e.estDV) {
        f.pal = e.standard == 1;
        f.large = e.format16x9;
    }
    if (e.frequenceAudio > 0) {
        f.frequence = e.frequenceAudio;
        f.canaux = e.texteCanaux == " stéréo" ? 2 : e.texteCanaux == " mono" ? 1 : 0;
    }
    return f;
}

// The frames of the interleaved stream, in the file's bytes.
std::vector<AviFrame> images(const std::string& octets)
{
    return AviDemuxer(std::make_shared<MemorySource>(octets.data(), octets.size())).frameIndex(0);
}

uint8_t* a(std::string& octets, int64_t position)
{
    return reinterpret_cast<uint8_t*>(octets.data()) + position;
}

// Every copy of the AAUX source pack (0x50) of a frame, in every DIF sequence.
void retirerSourceAudio(uint8_t* image, size_t taille)
{
    for (size_t sequence = 0; (sequence + 1) * kOctetsSequenceDIF <= taille; ++sequence)
        for (int slot = 0; slot < kZoneAaux.nombre; ++slot) {
            uint8_t* pack = image + sequence * kOctetsSequenceDIF + kZoneAaux.position(slot);
            if (pack[0] == 0x50)
                std::fill(pack, pack + kOctetsPackDV, uint8_t(0xFF));
        }
}

using Abimer = std::function<void(std::string& octets, const AviFrame& premiere)>;

struct Dommage {
    const char* nom;
    Abimer abimer;
};

const std::vector<Dommage>& dommages()
{
    static const std::vector<Dommage> d = {
        {"premiere image a zero", [](std::string& o, const AviFrame& f) { std::fill_n(a(o, f.offset), f.size, uint8_t(0)); }},
        {"premiere image de bruit",
         [](std::string& o, const AviFrame& f) {
             uint32_t x = 12345;
             for (uint32_t i = 0; i < f.size; ++i) {
                 x = x * 1103515245u + 12345u;
                 *a(o, f.offset + i) = uint8_t(x >> 24);
             }
         }},
        {"premiere image sans source AAUX", [](std::string& o, const AviFrame& f) { retirerSourceAudio(a(o, f.offset), f.size); }},
    };
    return d;
}

struct Clip {
    const char* nom;
    const char* fixture; // made from
    std::function<void(std::string&)> changer;
};

std::vector<Clip> clips()
{
    const auto tel = [](std::string&) {};
    return {
        {"pal_t1_43", "pal_t1_43.avi", tel},
        {"ntsc_t1_32k", "ntsc_t1_32k.avi", tel},
        // A separate sound stream follows the interleaved one: type 2.
        {"pal_t1_plus_auds", "pal_t1_plus_auds.avi", tel},
        // Every frame flagged 16:9 (display mode 2 in the VAUX source-control packs).
        {"pal_t1_169", "pal_t1_43.avi",
         [](std::string& o) {
             for (const AviFrame& f : images(o))
                 EcrireFormat16x9DV(a(o, f.offset), f.size, true);
         }},
    };
}

bool peersInstalles()
{
    return !QStandardPaths::findExecutable("ffprobe").isEmpty() && !QStandardPaths::findExecutable("mediainfo").isEmpty();
}

} // namespace

TEST(Type1PremiereImageAbimee, ReadAsDVFromTheFirstReadableFrame)
{
    KORVAN_REQUIRE_FIXTURES();
    if (!peersInstalles())
        GTEST_SKIP() << "ffprobe or mediainfo not installed";
    ScratchDir dir;
    int cas = 0;
    for (const Clip& c : clips()) {
        SCOPED_TRACE(c.nom);
        std::string intact = readWholeFile(fixture(c.fixture));
        c.changer(intact);
        const int typeDV = expectedFiles().value(c.fixture).toObject().value("typeDV").toInt();
        ASSERT_GT(typeDV, 0);
        const std::string cheminIntact = dir.path(std::string(c.nom) + ".avi");
        writeWholeFile(cheminIntact, intact);
        // What the clip is, as both peers read it before any damage.
        const Faits vrai = selonFfprobe(cheminIntact);
        const Faits vraiMediaInfo = selonMediaInfo(cheminIntact);
        ASSERT_TRUE(vrai.pal && vrai.large && vrai.frequence && vrai.canaux);
        EXPECT_EQ(vrai.pal, vraiMediaInfo.pal);
        EXPECT_EQ(vrai.large, vraiMediaInfo.large);
        EXPECT_EQ(vrai.frequence, vraiMediaInfo.frequence);
        const AviFrame premiere = images(intact).front();

        for (const Dommage& d : dommages()) {
            SCOPED_TRACE(d.nom);
            std::string octets = intact;
            d.abimer(octets, premiere);
            const std::string chemin = dir.path(std::string(c.nom) + "_" + d.nom + ".avi");
            writeWholeFile(chemin, octets);

            const TAfficherFichier e(QString::fromStdString(chemin));
            EXPECT_TRUE(e.estDV);
            EXPECT_EQ(e.codec, "dvsd");
            EXPECT_EQ(e.typeDV, typeDV);
            const Faits lu = selonEntree(e);
            EXPECT_EQ(lu.pal, vrai.pal);
            EXPECT_EQ(lu.large, vrai.large);
            EXPECT_EQ(lu.frequence, vrai.frequence);
            EXPECT_EQ(lu.canaux, vrai.canaux);

            // The damaged file still says so to one peer at least, fact by fact;
            // MediaInfo's first time code is that of the first frame it read.
            QString timecode;
            const Faits ff = selonFfprobe(chemin);
            const Faits mi = selonMediaInfo(chemin, &timecode);
            EXPECT_TRUE(ff.pal == vrai.pal || mi.pal == vrai.pal);
            EXPECT_TRUE(ff.large == vrai.large || mi.large == vrai.large);
            EXPECT_TRUE(ff.frequence == vrai.frequence || mi.frequence == vrai.frequence);
            EXPECT_EQ(e.texteTimecode, timecode.replace(':', '.'));
            ++cas;
        }
    }
    EXPECT_EQ(cas, 12);
}

// No frame of the stream is DV: the stream cannot be split and the file is
// not taken for DV, whatever its header says.
TEST(Type1PremiereImageAbimee, NoReadableFrameIsNotDV)
{
    KORVAN_REQUIRE_FIXTURES();
    std::string octets = readWholeFile(fixture("pal_t1_43.avi"));
    for (const AviFrame& f : images(octets))
        std::fill_n(a(octets, f.offset), f.size, uint8_t(0));
    ScratchDir dir;
    const std::string chemin = dir.path("zeros.avi");
    writeWholeFile(chemin, octets);
    const TAfficherFichier e(QString::fromStdString(chemin));
    EXPECT_FALSE(e.estDV);
    EXPECT_EQ(e.texteTaille, "N/A");
    EXPECT_EQ(e.texteAudio, "N/A");
}

// No frame carries the AAUX source pack: the sound format comes from the copy
// of that pack in the stream format (DVINFO), which says what the frames said
// before (ffprobe on the intact clip).
TEST(Type1PremiereImageAbimee, SoundFromTheStreamFormatWhenNoFrameCarriesIt)
{
    KORVAN_REQUIRE_FIXTURES();
    if (QStandardPaths::findExecutable("ffprobe").isEmpty())
        GTEST_SKIP() << "ffprobe not installed";
    ScratchDir dir;
    for (const char* nom : {"pal_t1_43.avi", "ntsc_t1_32k.avi"}) {
        SCOPED_TRACE(nom);
        const Faits vrai = selonFfprobe(fixture(nom));
        std::string octets = readWholeFile(fixture(nom));
        for (const AviFrame& f : images(octets))
            retirerSourceAudio(a(octets, f.offset), f.size);
        const std::string chemin = dir.path(nom);
        writeWholeFile(chemin, octets);
        const TAfficherFichier e(QString::fromStdString(chemin));
        EXPECT_TRUE(e.estDV);
        const Faits lu = selonEntree(e);
        EXPECT_EQ(lu.frequence, vrai.frequence);
        EXPECT_EQ(lu.canaux, vrai.canaux);
        EXPECT_EQ(lu.pal, vrai.pal);
    }
}
