// The probe's facts against what two independent readers (MediaInfo and
// ffprobe) reported on the same clips, recorded in peers.json.
#include "analysis/aviFichier.h"
#include "analysis/format_date.h"
#include "support/fixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::test;

namespace {

QJsonObject peers()
{
    QFile f(QString::fromStdString(fixture("peers.json")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

QJsonObject piste(const QJsonObject& peer, const QString& type)
{
    for (const QJsonValue& t : peer.value("mediainfo").toArray())
        if (t.toObject().value("@type").toString() == type)
            return t.toObject();
    return {};
}

} // namespace

TEST(ProbeAgainstPeers, FrameSizeRateDurationsAudioDateAndTimecode)
{
    KORVAN_REQUIRE_FIXTURES();
    const QJsonObject tous = peers();
    ASSERT_FALSE(tous.isEmpty());
    int fichiers = 0;
    for (auto it = tous.begin(); it != tous.end(); ++it) {
        const QString nom = it.key();
        const QJsonObject video = piste(it.value().toObject(), "Video");
        const QJsonObject audio = piste(it.value().toObject(), "Audio");
        const QJsonObject general = piste(it.value().toObject(), "General");
        if (video.isEmpty() && audio.isEmpty())
            continue;
        SCOPED_TRACE(nom.toStdString());
        const TAfficherFichier e(QString::fromStdString(fixture(nom.toStdString())));
        ++fichiers;

        if (!video.isEmpty()) {
            EXPECT_EQ(e.largeur, video.value("Width").toString().toInt());
            if (!e.estDV) // DV entries show the display height
                EXPECT_EQ(e.hauteur, video.value("Height").toString().toInt());
            EXPECT_NEAR(e.fps, video.value("FrameRate").toString().toDouble(), 0.006);
            // An interrupted capture: MediaInfo believes the headers, ffprobe
            // and Korvan count the frames really present.
            const QJsonArray flux = it.value().toObject().value("ffprobe").toObject().value("streams").toArray();
            const double attendu = nom == "pal_truncated.avi" ? flux[0].toObject().value("duration").toString().toDouble()
                                                              : video.value("Duration").toString().toDouble();
            EXPECT_NEAR(double(e.dureeVideo) / 1e7, attendu, 0.0011);
            if (e.estDV) {
                EXPECT_EQ(e.standard == 1 ? "PAL" : "NTSC", video.value("Standard").toString());
                const QString tc = video.value("TimeCode_FirstFrame").toString();
                if (tc.isEmpty())
                    EXPECT_EQ(e.texteTimecode, "N/A");
                else
                    EXPECT_EQ(e.texteTimecode, QString(tc).replace(':', '.'));
            }
        }
        if (!audio.isEmpty()) {
            EXPECT_EQ(e.frequenceAudio, audio.value("SamplingRate").toString().toInt());
            EXPECT_EQ(e.bitsAudio, audio.value("BitDepth").toString().toInt());
            const int canaux = audio.value("Channels").toString().toInt();
            EXPECT_TRUE(e.texteAudio.endsWith(canaux == 1 ? " mono" : " stéréo"));
        }
        // Recorded dates agree where both readers have a valid one (MediaInfo
        // reads BCD years 25-39 as 19xx; Korvan as 20xx).
        const QString enregistre = general.value("Recorded_Date").toString();
        if (e.datecode != 0 && !enregistre.isEmpty())
            EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", e.datecode), enregistre.left(19));
    }
    EXPECT_GE(fichiers, 20);
}
