// Times the preview module: from a selection to the first picture painted
// (the build and frame 0, median of the runs), then a play of the whole clip
// in real time: wall time, pictures shown and skipped, CPU time.
//   apercu-lecture-bench [--runs N] CLIP [OTHER_CLIP]
// Prints one line of tab-separated "name value" fields.
#include "analysis/aviFichier.h"
#include "pipelines/viewgraph.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class RenduCompte final : public korvan::IRenduVideo {
public:
    void afficherImage(const QImage&) override { ++images; }
    void effacerImage() override {}
    int images = 0;
};

double cpuSecondes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    using namespace korvan;
    QStringList args = QCoreApplication::arguments().mid(1);
    int runs = 20;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = std::max(1, args[1].toInt());
        args = args.mid(2);
    }
    if (args.isEmpty()) {
        std::fputs("usage: apercu-lecture-bench [--runs N] CLIP [OTHER_CLIP]\n", stderr);
        return 2;
    }
    const TAfficherFichier clip(args[0]);
    const TAfficherFichier autre(args.size() > 1 ? args[1] : args[0]);
    Tviewdm vue;
    RenduCompte rendu;

    // Each run selects the other clip, then the clip: a fresh build each time.
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        vue.OuvrirApercu(autre, &rendu);
        const int avant = rendu.images;
        QElapsedTimer t;
        t.start();
        const bool ok = vue.OuvrirApercu(clip, &rendu);
        // The build returns with frame 0 painted; wait for it all the same.
        while (ok && rendu.images == avant && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (!ok || rendu.images == avant) {
            std::fprintf(stderr, "%s: no first picture (stage %d)\n", qPrintable(args[0]), vue.etapeApercu());
            return 1;
        }
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());

    int64_t images = 0;
    vue.duree(images);
    QEventLoop boucle;
    QObject::connect(&vue, &Tviewdm::termine, &boucle, &QEventLoop::quit);
    QTimer::singleShot(int(images * 1000 / std::max(clip.fps, 1.0)) * 2 + 5000, &boucle, &QEventLoop::quit);
    const int montreesAvant = rendu.images;
    QElapsedTimer lecture;
    // When each picture of the play is shown: the pace between the first and
    // the last, apart from the start (the sound card's latency, with one).
    std::vector<std::pair<int64_t, double>> vues;
    QObject::connect(&vue, &Tviewdm::imagePresentee, &boucle,
                     [&](qint64 n) { vues.emplace_back(n, double(lecture.nsecsElapsed()) / 1e9); });
    const double cpu0 = cpuSecondes();
    lecture.start();
    vue.Lire();
    boucle.exec();
    const double secondes = double(lecture.nsecsElapsed()) / 1e9;
    const double cpu = cpuSecondes() - cpu0;
    int64_t fin = 0;
    vue.position(fin);
    if (vues.size() < 2) {
        std::fprintf(stderr, "%s: the play showed %zu pictures\n", qPrintable(args[0]), vues.size());
        return 1;
    }
    const double allure = vues.back().second - vues.front().second;
    const double allureAttendue = double(vues.back().first - vues.front().first) / clip.fps;
    std::printf("clip\t%s\tframes %lld\tfps %.3f\tfirst_picture_median_ms %.2f\tfirst_picture_min_ms %.2f\t"
                "play_s %.3f\tstart_s %.3f\tpace_s %.3f\tpace_expected_s %.3f\tshown %d\tskipped %d\tlast %lld\t"
                "cpu_s %.3f\n",
                qPrintable(args[0]), (long long)images, clip.fps, ms[ms.size() / 2], ms.front(), secondes,
                vues.front().second, allure, allureAttendue, rendu.images - montreesAvant, vue.imagesSautees(),
                (long long)fin, cpu);
    return 0;
}
