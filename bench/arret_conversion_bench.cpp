// How long Esc takes to stop a conversion: the conversion module runs a DV
// type conversion of a large clip; half-way through, the run is asked to
// stop, and the time until the output is closed is measured.
//   arret-conversion-bench [--runs N] SOURCE.avi DESTINATION.avi
// Prints, per run, the frames written and the milliseconds from the stop
// request to the closed output, then the median and the largest.
#include "analysis/avi_demuxer.h"
#include "pipelines/ConvertirDVunit.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace korvan;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 5;
    if (args.size() >= 2 && args[0] == "--runs") {
        runs = args[1].toInt();
        args = args.mid(2);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: arret-conversion-bench [--runs N] SOURCE.avi DESTINATION.avi\n");
        return 2;
    }
    const bool type1 = AviDemuxer::ouvrir(args[0].toStdString()).streams().at(0).header.fccType == FourCC("iavs");
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        TCdm cdm;
        const bool ok = type1 ? cdm.GrapheVersType2(args[0], args[1]) : cdm.GrapheVersType1(args[0], args[1]);
        if (!ok) {
            std::fprintf(stderr, "%s\n", qPrintable(cdm.texteEchec()));
            return 1;
        }
        const int64_t duree = cdm.Duree();
        cdm.Lancer();
        while (cdm.positionCourante() < duree / 2 && !cdm.fini())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto debut = std::chrono::steady_clock::now();
        cdm.DemanderArret();
        cdm.Arreter();
        const double t = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut).count();
        ms.push_back(t);
        const size_t ecrites = AviDemuxer::ouvrir(args[1].toStdString()).frameIndex(0).size();
        std::printf("run %d: stopped after %zu frames, output closed %.1f ms after the request\n", r + 1, ecrites, t);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("stop to closed output: median %.1f ms, largest %.1f ms\n", ms[ms.size() / 2], ms.back());
    return 0;
}
