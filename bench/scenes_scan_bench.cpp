// Times the scene scan alone (no process start, no file entry): DetecterScenes
// over each file given, several times, and prints per file the frame count,
// the scene count and the median and fastest run, tab-separated.
//   scenes-scan-bench [--runs N] FILE...
//   scenes-scan-bench --iolog OUT FILE   writes the reads the scan makes of FILE
//     (each frame's packs, at the place the frame index gives) as a fio replay
//     log, to measure the disk with the same access pattern.
#include "analysis/aviFichier.h"
#include "analysis/avi_demuxer.h"
#include "analysis/dvcodes.h"
#include "platform/etat_programme.h"
#include "scenes/CreerScenes.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    using namespace korvan;
    QStringList args = QCoreApplication::arguments().mid(1);
    int runs = 5;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = std::max(1, args[1].toInt());
        args = args.mid(2);
    }
    if (args.size() == 3 && args[0] == QLatin1String("--iolog")) {
        FILE* log = std::fopen(qPrintable(args[1]), "w");
        if (!log)
            return 1;
        const std::string clip = args[2].toStdString();
        std::fprintf(log, "fio version 2 iolog\n%s add\n%s open\n", clip.c_str(), clip.c_str());
        for (const AviFrame& f : AviDemuxer::ouvrir(clip).frameIndex(0))
            std::fprintf(log, "%s read %lld %u\n", clip.c_str(), (long long)f.offset,
                         std::min<unsigned>(f.size, unsigned(kOctetsPacksDV)));
        std::fprintf(log, "%s close\n", clip.c_str());
        return std::fclose(log) == 0 ? 0 : 1;
    }
    if (args.isEmpty()) {
        std::fputs("usage: scenes-scan-bench [--runs N] FILE... | --iolog OUT FILE\n", stderr);
        return 2;
    }
    for (const QString& chemin : args) {
        const TAfficherFichier entree(chemin);
        fpsCourant = entree.fps;
        int scenes = 0;
        int32_t images = 0;
        TRoutinesScenes routines;
        routines.RoutineScene = [&](const TSceneInfo& s) {
            ++scenes;
            images = s.fin + 1;
        };
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            scenes = 0;
            const auto debut = std::chrono::steady_clock::now();
            if (DetecterScenes(entree, routines) != IssueDetection::Complete) {
                std::fprintf(stderr, "%s: no frames to scan\n", qPrintable(chemin));
                return 1;
            }
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%s\tframes %d\tscenes %d\tmedian_ms %.3f\tmin_ms %.3f\n", qPrintable(chemin), images, scenes,
                    ms[ms.size() / 2], ms.front());
    }
    return 0;
}
