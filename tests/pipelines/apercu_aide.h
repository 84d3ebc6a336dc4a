#pragma once
// What the preview tests share: a recording video window, a wait that runs
// the event loop, ffmpeg as the oracle of decoded pictures, and a long PAL DV
// clip whose time code is its frame number.
#include "analysis/dvcodes.h"
#include "pipelines/viewgraph.h"
#include "support/fixtures.h"

#include <QImage>
#include <QProcess>
#include <QTest>

#include <string>
#include <vector>

namespace korvan::test {

class RenduEnregistre final : public IRenduVideo {
public:
    void afficherImage(const QImage& image) override { images.push_back(image); }
    void effacerImage() override { ++effacements; }
    std::vector<QImage> images;
    int effacements = 0;
};

template <typename Condition>
bool attendre(Condition condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}

// Frame number of a time code counted from 00:00:00:00 at that rate.
inline int64_t imageDuTimecode(const TTimecodeDV& tc, int imagesParSeconde = 25)
{
    return ((int64_t(tc.heures) * 60 + tc.minutes) * 60 + tc.secondes) * imagesParSeconde + tc.images;
}

// Frame n of a clip as ffmpeg decodes it, in the players' RGB32 layout.
inline QImage imageFFmpeg(const std::string& chemin, int n)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {"-hide_banner", "-loglevel", "error", "-i", QString::fromStdString(chemin), "-vf",
             QStringLiteral("select=eq(n\\,%1)").arg(n), "-frames:v", "1", "-f", "image2pipe", "-vcodec", "png", "-"});
    if (!p.waitForFinished(60000))
        return {};
    QImage i;
    i.loadFromData(p.readAllStandardOutput(), "PNG");
    return i.convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference per channel; -1 when the sizes differ.
inline double ecartMoyen(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    double somme = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            somme += std::abs(qRed(la[x]) - qRed(lb[x])) + std::abs(qGreen(la[x]) - qGreen(lb[x]))
                + std::abs(qBlue(la[x]) - qBlue(lb[x]));
    }
    return somme / (3.0 * a.width() * a.height());
}

// 62 s of PAL DV type 2 with sound, made once per run: time code 00:00:00:00
// at frame 0, so each frame's time code is its number. Empty when ffmpeg fails.
const std::string& clipLongPal();

} // namespace korvan::test
