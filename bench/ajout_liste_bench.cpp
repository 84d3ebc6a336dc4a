// Adding thousands of DV clips to the main window: total time against the
// bare construction of the same file entries (medians of several rounds of
// each, in turn), and how long the window goes without handling events or
// painting its list meanwhile.
//   ajout-liste-bench [COUNT] [ROUNDS]   (default 2000 and 5; clips are hard links to the shared fixtures)
#include "analysis/aviFichier.h"
#include "platform/preferences.h"
#include "ui/assemblage_fenetre.h"
#include "ui/main.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Longest time between two occurrences of an event type on a widget.
class Ecart : public QObject {
public:
    explicit Ecart(QEvent::Type type) : type_(type) {}
    qint64 max = 0;
    int nombre = 0;
    void demarrer() { horloge_.start(); }
    void noter()
    {
        const qint64 t = horloge_.elapsed();
        if (nombre++ > 0)
            max = std::max(max, t - dernier_);
        dernier_ = t;
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == type_)
            noter();
        return false;
    }

private:
    QEvent::Type type_;
    QElapsedTimer horloge_;
    qint64 dernier_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir maison;
    qputenv("HOME", maison.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (maison.path() + "/config").toUtf8());
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int tours = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    const QString fixtures = QStringLiteral(KORVAN_FIXTURES_DIR);
    QStringList sources;
    for (const QString& f : QDir(fixtures).entryList({"pal_*.avi", "ntsc_*.avi"}, QDir::Files))
        sources << fixtures + "/" + f;
    if (sources.isEmpty()) {
        std::fprintf(stderr, "no DV fixtures in %s\n", qPrintable(fixtures));
        return 1;
    }
    QTemporaryDir dossier;
    QStringList chemins;
    for (int i = 0; i < n; ++i) {
        const QString c = dossier.path() + QString("/clip_%1.avi").arg(i, 5, 10, QLatin1Char('0'));
        if (!QFile::link(sources[i % sources.size()], c) && !QFile::copy(sources[i % sources.size()], c))
            return 1;
        chemins << c;
    }

    // Cache warmed by a first pass.
    for (const QString& c : chemins)
        korvan::TAfficherFichier e(c);

    const auto assemblee = korvan::AssemblerFenetre();
    korvan::TUIForm& fenetre = *assemblee;
    fenetre.show();
    QApplication::processEvents();
    korvan::prefSauverPrefsEnQuittant = false;
    korvan::prefSauverListeEnQuittant = false;
    fenetre.basculerListe();
    // Paints are asked for every 20 ms, as a compositor would while the list grows.
    QTimer repeindre;
    QObject::connect(&repeindre, &QTimer::timeout, [&] { fenetre.lb()->viewport()->update(); });
    repeindre.start(20);

    std::vector<double> nus, fens;
    qint64 attenteMax = 0, peintureMax = 0;
    int peinturesMin = 1 << 30;
    QElapsedTimer t;
    for (int tour = 0; tour < tours; ++tour) {
        t.restart();
        for (const QString& c : chemins)
            korvan::TAfficherFichier e(c);
        nus.push_back(t.nsecsElapsed() / 1e6);

        fenetre.liste().Vider();
        QApplication::processEvents();
        Ecart ticks(QEvent::Timer), peintures(QEvent::Paint);
        QTimer minuterie;
        QObject::connect(&minuterie, &QTimer::timeout, [&] { ticks.noter(); });
        minuterie.start(5);
        fenetre.lb()->viewport()->installEventFilter(&peintures);
        ticks.demarrer();
        peintures.demarrer();
        t.restart();
        fenetre.AjouterFichiers(chemins, QStringLiteral("Chargement de fichiers"));
        fens.push_back(t.nsecsElapsed() / 1e6);
        fenetre.lb()->viewport()->removeEventFilter(&peintures);
        attenteMax = std::max(attenteMax, ticks.max);
        peintureMax = std::max(peintureMax, peintures.max);
        peinturesMin = std::min(peinturesMin, peintures.nombre);
        if (fenetre.liste().nombre() != n) {
            std::fprintf(stderr, "the list holds %d lines, not %d\n", fenetre.liste().nombre(), n);
            return 1;
        }
    }
    const auto mediane = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double nu = mediane(nus), fen = mediane(fens);
    std::printf("%d files, medians of %d rounds: bare entries %.1f ms, window load %.1f ms, ratio %.2f\n", n, tours, nu,
                fen, fen / nu);
    std::printf("longest wait between event-loop turns %lld ms, between list paints %lld ms (at least %d paints a load)\n",
                (long long)attenteMax, (long long)peintureMax, peinturesMin);
    std::printf("lines in the list: %d\n", fenetre.liste().nombre());
    return 0;
}
