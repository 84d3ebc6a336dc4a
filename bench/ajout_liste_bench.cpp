// Adding thousands of DV clips to the main window: total time against the
// bare construction of the same file entries, and how long the window goes
// without handling events or painting its list meanwhile.
//   ajout-liste-bench [COUNT]   (default 2000; clips are hard links to the shared fixtures)
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
#include <cstdio>

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

    // Bare entries, cache warmed by a first pass.
    for (const QString& c : chemins)
        korvan::TAfficherFichier e(c);
    QElapsedTimer t;
    t.start();
    for (const QString& c : chemins)
        korvan::TAfficherFichier e(c);
    const double nu = t.nsecsElapsed() / 1e6;

    const auto assemblee = korvan::AssemblerFenetre();
    korvan::TUIForm& fenetre = *assemblee;
    fenetre.show();
    QApplication::processEvents();
    korvan::prefSauverPrefsEnQuittant = false;
    korvan::prefSauverListeEnQuittant = false;
    Ecart ticks(QEvent::Timer), peintures(QEvent::Paint);
    QTimer minuterie;
    QObject::connect(&minuterie, &QTimer::timeout, [&] { ticks.noter(); });
    minuterie.start(5);
    fenetre.basculerListe();
    fenetre.lb()->viewport()->installEventFilter(&peintures);
    // Paints are asked for every 20 ms, as a compositor would while the list grows.
    QTimer repeindre;
    QObject::connect(&repeindre, &QTimer::timeout, [&] { fenetre.lb()->viewport()->update(); });
    repeindre.start(20);
    ticks.demarrer();
    peintures.demarrer();
    t.restart();
    fenetre.AjouterFichiers(chemins, QStringLiteral("Chargement de fichiers"));
    const double fen = t.nsecsElapsed() / 1e6;

    std::printf("%d files: bare entries %.1f ms, window load %.1f ms, ratio %.2f\n", n, nu, fen, fen / nu);
    std::printf("longest wait between event-loop turns %lld ms, between list paints %lld ms (%d paints)\n",
                (long long)ticks.max, (long long)peintures.max, peintures.nombre);
    std::printf("lines in the list: %d\n", fenetre.liste().nombre());
    return 0;
}
