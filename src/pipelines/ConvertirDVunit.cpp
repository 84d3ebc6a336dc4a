#include "pipelines/ConvertirDVunit.h"

#include "analysis/chemins.h"
#include "analysis/sortie_octets.h"
#include "pipelines/ffmpeg_video.h"
#include "pipelines/reencodage_dv.h"
#include "pipelines/registre_filtres.h"
#include "platform/erreur_systeme.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace korvan {

namespace {

// A failure of the output, told apart from one of the source.
struct EchecEcriture {
    int erreur;
};

class SortieSignalee final : public SortieOctets {
public:
    explicit SortieSignalee(SortieOctets& s) : s_(s) {}
    void ajouter(const void* o, size_t n) override { signaler([&] { s_.ajouter(o, n); }); }
    void ajouterSansCopie(const void* o, size_t n) override { signaler([&] { s_.ajouterSansCopie(o, n); }); }
    void attendreEcrit(int64_t marque) override { signaler([&] { s_.attendreEcrit(marque); }); }
    void recrire(int64_t p, const void* o, size_t n) override { signaler([&] { s_.recrire(p, o, n); }); }
    int64_t taille() const override { return s_.taille(); }
    void terminer() override { signaler([&] { s_.terminer(); }); }

private:
    template <typename F>
    static void signaler(F&& f)
    {
        try {
            f();
        } catch (const FileError& e) {
            throw EchecEcriture{e.erreur()};
        }
    }
    SortieOctets& s_;
};

QString ligne(const QString& quoi, const QString& chemin, const QString& raison)
{
    return quoi + chemin + QStringLiteral("\r\n") + raison;
}

// The destination names the source itself (the same file under another
// name, a link): creating it would empty the source.
bool memeFichier(const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

class TCdm::Suivi final : public SuiviConversion {
public:
    explicit Suivi(TCdm& m) : m_(m) {}
    void avancer(int64_t position) override { m_.position_.store(position); }
    bool arretDemande() const override { return m_.arret_.load(); }

private:
    TCdm& m_;
};

TCdm::TCdm()
    : fabriqueSortie_([](const std::string& chemin) { return std::make_unique<SortieFichier>(chemin); }),
      runCourant_(std::make_shared<std::atomic<uint64_t>>(0))
{
}

TCdm::~TCdm()
{
    DesactiverGraphe();
    // The progress timer must not follow a module that is gone.
    ISuiviPosition* moi = this;
    progressionConversion.compare_exchange_strong(moi, nullptr);
}

void TCdm::arreterFil()
{
    if (fil_.joinable()) {
        arret_ = true;
        fil_.join();
    }
}

void TCdm::DesactiverGraphe()
{
    arreterFil();
    // A queued end of this run must not end the wait of the next one.
    ++*runCourant_;
    travail_.reset();
    actif_ = false;
    position_ = 0;
}

template <typename Preparer>
bool TCdm::construire(const QString& source, const QString& destination, Preparer&& preparer)
{
    arreterFil();
    actif_ = true;
    lance_ = false;
    travail_.reset();
    position_ = 0;
    fini_ = false;
    source_ = source;
    destination_ = destination;
    {
        const std::lock_guard l(verrou_);
        issue_ = IssueConversion::Aucune;
        texteEchec_.clear();
    }
    const auto refuser = [&](const QString& raison) {
        const std::lock_guard l(verrou_);
        texteEchec_ = ligne(QStringLiteral("Impossible de convertir le fichier "), source, raison);
        return false;
    };
    if (destination.isEmpty())
        return refuser(QStringLiteral("Aucun fichier de destination"));
    std::shared_ptr<const AviDemuxer> avi;
    try {
        avi = std::make_shared<const AviDemuxer>(AviDemuxer::ouvrir(CheminLocal(source)));
    } catch (const FileError& e) {
        return refuser(TexteErreurSysteme(e.erreur()));
    }
    PreparationConversion p;
    try {
        p = preparer(std::move(avi));
    } catch (const FileError& e) {
        return refuser(TexteErreurSysteme(e.erreur()));
    }
    if (!p.travail)
        return refuser(p.raison);
    travail_ = std::move(p.travail);
    progressionConversion.store(this);
    return true;
}

bool TCdm::GrapheVersType1(const QString& source, const QString& destination)
{
    return construire(source, destination, [](auto avi) { return PreparerVersType1(std::move(avi)); });
}

bool TCdm::GrapheVersType2(const QString& source, const QString& destination)
{
    // This builder empties a graph left active before it builds.
    if (actif_)
        DesactiverGraphe();
    return construire(source, destination, [](auto avi) { return PreparerVersType2(std::move(avi)); });
}

bool TCdm::GrapheDecalageHoraire(const QString& source, const QString& destination)
{
    return construire(source, destination,
                      [this](auto avi) { return PreparerDecalageHoraire(std::move(avi), dvheader_); });
}

bool TCdm::GrapheExtraireAudio(const QString& source, const QString& destination)
{
    return construire(source, destination, [](auto avi) { return PreparerExtraireAudio(std::move(avi)); });
}

DVHeader* TCdm::enteteDV()
{
    return dvheaderPresent_ ? &dvheader_ : nullptr;
}

bool TCdm::GrapheStandardType2(const QString& source, const QString& destination, int standardCible)
{
    return construire(source, destination, [&](auto avi) {
        return PreparerChangementStandard(std::move(avi), standardCible != 2, TypeSortieDV::Type2, DesentrelaceurMachine(),
                                          enteteDV());
    });
}

bool TCdm::GrapheStandardType1(const QString& source, const QString& destination, int standardCible)
{
    return construire(source, destination, [&](auto avi) {
        return PreparerChangementStandard(std::move(avi), standardCible != 2, TypeSortieDV::Type1, DesentrelaceurMachine(),
                                          enteteDV());
    });
}

bool TCdm::GrapheIncrustType2(const QString& source, const QString& destination, int standardCible)
{
    return construire(source, destination, [&](auto avi) {
        // A new datecoder (after the last run has stopped) takes today's names of days and months.
        datecoder_ = std::make_unique<Datecoder>();
        return PreparerIncrustation(std::move(avi), standardCible == 1, TypeSortieDV::Type2, dvheader_, *datecoder_,
                                    superposer_);
    });
}

bool TCdm::GrapheIncrustType1(const QString& source, const QString& destination, int standardCible)
{
    return construire(source, destination, [&](auto avi) {
        // A new datecoder (after the last run has stopped) takes today's names of days and months.
        datecoder_ = std::make_unique<Datecoder>();
        return PreparerIncrustation(std::move(avi), standardCible == 1, TypeSortieDV::Type1, dvheader_, *datecoder_,
                                    superposer_);
    });
}

bool TCdm::GrapheRecompresser(const QString& source, const QString& destination, int standardCible)
{
    return construire(source, destination, [&](auto avi) {
        return PreparerRecompression(CheminLocal(source), std::move(avi), standardCible == 1, enteteDV());
    });
}

int64_t TCdm::Duree() const
{
    return travail_ ? travail_->duree() : 0;
}

void TCdm::Lancer()
{
    // A graph runs once: its work hands the frames on as it goes.
    if (!travail_ || fil_.joinable() || lance_)
        return;
    lance_ = true;
    arret_ = false;
    fini_ = false;
    position_ = 0;
    {
        const std::lock_guard l(verrou_);
        issue_ = IssueConversion::EnCours;
        texteEchec_.clear();
    }
    const uint64_t numero = ++*runCourant_;
    fil_ = std::thread([this, numero] { executer(numero); });
}

void TCdm::Arreter()
{
    arreterFil();
}

void TCdm::terminerRun(IssueConversion issue, const QString& texte)
{
    const std::lock_guard l(verrou_);
    issue_ = issue;
    texteEchec_ = texte;
}

void TCdm::executer(uint64_t numero)
{
    const std::string source = CheminLocal(source_);
    const std::string destination = CheminLocal(destination_);
    bool cree = false;
    try {
        if (memeFichier(source, destination))
            throw EchecEcriture{EEXIST};
        const std::unique_ptr<SortieOctets> fichier = fabriqueSortie_(destination);
        cree = true;
        SortieSignalee sortie(*fichier);
        Suivi suivi(*this);
        travail_->executer(sortie, suivi);
        terminerRun(arret_ ? IssueConversion::Interrompue : IssueConversion::Terminee, {});
    } catch (const EchecEcriture& e) {
        const QString raison = e.erreur == EEXIST && !cree
                                   ? QStringLiteral("C'est le fichier à convertir")
                                   : TexteErreurSysteme(e.erreur);
        terminerRun(IssueConversion::Echec,
                    ligne(cree ? QStringLiteral("Impossible d'écrire le fichier ") : QStringLiteral("Impossible de créer le fichier "),
                          destination_, raison));
    } catch (const FileError& e) {
        // Outside the output's own writes: its creation, the source's reads,
        // or an output the AVI layout cannot hold (EFBIG, never a read error).
        const QString raison = TexteErreurSysteme(e.erreur());
        if (!cree)
            terminerRun(IssueConversion::Echec, ligne(QStringLiteral("Impossible de créer le fichier "), destination_, raison));
        else if (e.erreur() == EFBIG)
            terminerRun(IssueConversion::Echec, ligne(QStringLiteral("Impossible d'écrire le fichier "), destination_, raison));
        else
            terminerRun(IssueConversion::Echec, ligne(QStringLiteral("Impossible de lire le fichier "), source_, raison));
    } catch (const ffmpeg::EchecMedia& e) {
        // The media libraries' own reason (a decoder, a filter, the encoder).
        terminerRun(IssueConversion::Echec,
                    ligne(QStringLiteral("Impossible de convertir le fichier "), source_, QString::fromUtf8(e.what())));
    } catch (const std::exception&) {
        terminerRun(IssueConversion::Echec, ligne(QStringLiteral("Impossible de convertir le fichier "), source_,
                                                  QStringLiteral("Erreur inattendue")));
    }
    // A half-written file is no use to anyone: a failed run takes it away.
    if (cree && issue() == IssueConversion::Echec)
        QFile::remove(destination_);
    fini_ = true;
    // The graph's completion event, delivered on the window's thread.
    const std::shared_ptr<std::atomic<uint64_t>> courant = runCourant_;
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [courant, numero] {
                if (courant->load() == numero)
                    conversionTerminee = true;
            },
            Qt::QueuedConnection);
    else if (runCourant_->load() == numero)
        conversionTerminee = true;
}

IssueConversion TCdm::issue() const
{
    const std::lock_guard l(verrou_);
    return issue_;
}

QString TCdm::texteEchec() const
{
    const std::lock_guard l(verrou_);
    return texteEchec_;
}

TCdm& moduleConversion()
{
    static TCdm module;
    return module;
}

} // namespace korvan
