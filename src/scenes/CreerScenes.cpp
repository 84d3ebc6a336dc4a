#include "scenes/CreerScenes.h"

#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "scenes/apercu_detection.h"

#include <QCoreApplication>
#include <cmath>

namespace korvan {

namespace {

IApercuDetection* apercuInscrit = nullptr;

// The program has one detector: the date of the last frame of a run is the
// "previous frame" of the next run's first frame.
int64_t secondesDerniereImage = 0;

std::atomic<bool> detectionEnCours{false};

// Clears the program-wide run state however the run ends.
class GardeRun {
public:
    GardeRun() { chargementEnCours.store(true); }
    ~GardeRun()
    {
        progressionConversion.store(nullptr);
        dureeConversion.store(0);
        chargementEnCours.store(false);
        detectionEnCours.store(false);
    }
};

// Wakes the waiting loop this often to pump events and look at Esc.
constexpr std::chrono::milliseconds kPeriodeAttente{10};

class Execution {
public:
    Execution(const TAfficherFichier& entree, const TRoutinesScenes& routines, const QString& format)
        : entree_(entree), routines_(routines), format_(format), fps_(fpsCourant.load())
    {
    }

    IssueDetection lancer(std::unique_ptr<SourceImagesDV> source)
    {
        // A set of routines without a start has nothing to prepare.
        bool ok = !routines_.RoutineDebut;
        if (routines_.RoutineDebut)
            routines_.RoutineDebut(entree_, ok);
        if (!ok)
            return IssueDetection::Echec;

        DetecteurScenes detecteur(reglagesFormatCourants());
        detecteur.definirSecondesPrecedentes(secondesDerniereImage);
        detecteur.commencer(entree_.datecode, entree_.texteTimecode);
        BalayageEnFond balayage(std::move(source), std::move(detecteur));
        dureeConversion.store(0);
        progressionConversion.store(&balayage);
        struct Retrait {
            ~Retrait() { progressionConversion.store(nullptr); }
        } retrait; // before the scan it points to is destroyed
        balayage.demarrer();

        bool abandon = false;
        for (;;) {
            auto evenements = balayage.attendre(kPeriodeAttente);
            if (const int64_t n = balayage.nombreImages(); n > 0)
                dureeConversion.store(n);
            livrer(evenements);
            if (balayage.fini())
                break;
            if (abandonDemande.load()) {
                abandon = true;
                break;
            }
            if (QCoreApplication::instance())
                QCoreApplication::processEvents();
        }
        balayage.arreter();
        // Scenes found before Esc are kept (the scene file holds them).
        livrer(balayage.attendre(std::chrono::milliseconds(0)));
        secondesDerniereImage = balayage.detecteur().secondesPrecedentes();

        if (abandon || balayage.issue() == IssueBalayage::Abandon)
            return IssueDetection::Abandon;
        if (balayage.issue() != IssueBalayage::Complete)
            return IssueDetection::Echec;
        // The last scene ends at the last frame, whatever its length.
        const SceneBrute derniere = balayage.detecteur().derniereScene(balayage.derniereImage());
        apercuDetection().positionnerImage(derniere.fin + 1);
        apercuDetection().finDetection();
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        remettre(derniere);
        return IssueDetection::Complete;
    }

private:
    void livrer(const std::vector<BalayageEnFond::Evenement>& evenements)
    {
        for (const auto& e : evenements) {
            if (e.genre == BalayageEnFond::Evenement::Genre::Rupture)
                apercuDetection().positionnerImage(e.image);
            else
                remettre(e.scene);
        }
    }

    void remettre(const SceneBrute& scene)
    {
        if (routines_.RoutineScene)
            routines_.RoutineScene(SceneInfoDepuis(scene, fps_, format_));
    }

    const TAfficherFichier& entree_;
    const TRoutinesScenes& routines_;
    QString format_;
    double fps_;
};

} // namespace

void definirApercuDetection(IApercuDetection* apercu)
{
    apercuInscrit = apercu;
}

IApercuDetection& apercuDetection()
{
    static IApercuDetection aucun;
    return apercuInscrit ? *apercuInscrit : aucun;
}

QString PositionEnTexte(int32_t image)
{
    return PositionEnTexte(int64_t(image), fpsCourant.load());
}

QString PositionEnTexte(int64_t image, double fps)
{
    if (!(fps > 0) || !std::isfinite(fps))
        return QStringLiteral("0:00:00:00");
    const auto secondes = int64_t(std::trunc(double(image) / fps));
    const int64_t images = ArrondiBancaire(double(image) - double(secondes) * fps);
    return Format("%.2d.%.2d.%.2d.%.2d", secondes / 3600, (secondes / 60) % 60, secondes % 60, images);
}

TSceneInfo SceneInfoDepuis(const SceneBrute& scene, double fps, const QString& formatAfficher)
{
    TSceneInfo s;
    s.debut = scene.debut;
    s.fin = scene.fin;
    if (scene.datecode > 0)
        s.texteDatecodeScene = FormatDateTime(formatAfficher, scene.datecode);
    // "-..." is a frame without time code, "N/A" an entry without one.
    if (!scene.timecode.startsWith(QLatin1Char('-')) && !scene.timecode.startsWith(QLatin1Char('N')))
        s.texteTimecodeScene = scene.timecode;
    s.texteDebut = PositionEnTexte(int64_t(scene.debut), fps);
    s.texteFin = PositionEnTexte(int64_t(scene.fin), fps);
    s.texteDureeScene = PositionEnTexte(int64_t(scene.fin) + 1 - scene.debut, fps);
    return s;
}

IssueDetection DetecterScenes(const TAfficherFichier& entree, const TRoutinesScenes& routines,
                              const QString& formatAfficher)
{
    return DetecterScenes(entree, routines, SourceImagesAvi(entree.chemin), formatAfficher);
}

IssueDetection DetecterScenes(const TAfficherFichier& entree, const TRoutinesScenes& routines,
                              std::unique_ptr<SourceImagesDV> source, const QString& formatAfficher)
{
    // One run at a time: the detector state, the scene file and the text
    // export are single. A run started from inside the event pump of
    // another is turned away before any routine is called.
    if (detectionEnCours.exchange(true))
        return IssueDetection::Refusee;
    const GardeRun garde;
    compteurScenes = 0;
    IssueDetection issue = IssueDetection::Echec;
    try {
        issue = Execution(entree, routines, formatAfficher).lancer(std::move(source));
    } catch (...) {
        // A routine that fails ends the run here, without a last scene.
        issue = IssueDetection::Echec;
    }
    try {
        if (routines.RoutineFin)
            routines.RoutineFin();
    } catch (...) {
    }
    return issue;
}

} // namespace korvan
