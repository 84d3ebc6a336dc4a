#pragma once
// The conversion module: one graph at a time, built by one of the builders
// from a source and a destination, then run on a worker thread as fast as
// the disk allows while the caller waits pumping events. The runner's
// progress timer reads its position (progressionConversion) against its
// duration; the end of the run reaches the waiting loop as a queued call
// that sets conversionTerminee. Stopping it (Esc) ends the work between two
// chunks and closes the output, which stays on disk as far as it was
// written; a run that fails removes what it wrote and never touches the
// source.
#include "pipelines/conversions_dv.h"
#include "pipelines/datecoder.h"
#include "pipelines/dvheader.h"
#include "pipelines/superposer.h"
#include "platform/etat_programme.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace korvan {

enum class IssueConversion {
    Aucune,      // nothing ran since the last build
    EnCours,
    Terminee,    // every chunk written, the output closed
    Interrompue, // stopped on request: the output holds what was written, closed
    Echec,       // the source or the output failed: the output was removed
};

class TCdm final : public ISuiviPosition {
public:
    TCdm();
    ~TCdm() override;
    TCdm(const TCdm&) = delete;
    TCdm& operator=(const TCdm&) = delete;

    // The graph exists (a builder made it) until DesactiverGraphe.
    bool actif() const { return actif_; }
    // Stops a run (waiting for its output to be closed), empties the graph
    // and deactivates it.
    void DesactiverGraphe();

    // Each opens the source and prepares the work; false when the source
    // cannot be read or holds nothing the graph takes (texteEchec says why).
    // The last step sets progressionConversion to this module.
    bool GrapheVersType1(const QString& source, const QString& destination);
    bool GrapheVersType2(const QString& source, const QString& destination);
    bool GrapheDecalageHoraire(const QString& source, const QString& destination);
    bool GrapheExtraireAudio(const QString& source, const QString& destination);
    // Re-encoding graphs; the standard codes are 1 (PAL) and 2 (NTSC). The
    // PAL/NTSC builders read any value but 2 as PAL, the burn-in and
    // recompression builders any value but 1 as NTSC.
    bool GrapheStandardType2(const QString& source, const QString& destination, int standardCible);
    bool GrapheStandardType1(const QString& source, const QString& destination, int standardCible);
    bool GrapheIncrustType2(const QString& source, const QString& destination, int standardCible);
    bool GrapheIncrustType1(const QString& source, const QString& destination, int standardCible);
    bool GrapheRecompresser(const QString& source, const QString& destination, int standardCible);

    // The built graph's duration in 100 ns; 0 without a graph or with nothing to convert.
    int64_t Duree() const;
    // The clock-shift graph's DV header writer, set by the command before the run.
    IDVHeaderConfig& DVheader() { return dvheader_; }
    // Whether the DV header writer was found present (the presence check's
    // verdict, told by the commands): without it the PAL/NTSC and
    // recompression graphs go without it. Present until told otherwise.
    void definirDVHeaderPresent(bool present) { dvheaderPresent_ = present; }
    // The burn-in's overlay components, set by the command before the run.
    ISuperposerParam3& superposer() { return superposer_; }
    IDatecoderConfig& datecoder() { return *datecoder_; }

    // Starts the built graph: the destination is created and written on the
    // worker thread. Nothing without a graph, while a run is under way, or
    // when the graph has run already (build it again to run it again).
    void Lancer();
    // Asks the run to stop between two chunks, without waiting.
    void DemanderArret() { arret_ = true; }
    // Asks the run to stop and waits until its output is closed (at once
    // when the run has already written everything).
    void Arreter();
    // Whether the run has ended by itself (read on any thread).
    bool fini() const { return fini_.load(); }

    IssueConversion issue() const;
    // What failed, for an error box: the builder's reason, or the file that
    // could not be read, created or written with the system's reason.
    QString texteEchec() const;

    // How a run creates its output from the destination path (a file on
    // disk; tests wrap it to hold a run at a chosen point). Throws FileError
    // when the output cannot be created.
    using FabriqueSortie = std::function<std::unique_ptr<SortieOctets>(const std::string& chemin)>;
    void definirFabriqueSortie(FabriqueSortie fabrique) { fabriqueSortie_ = std::move(fabrique); }

    // The media time written by the run (100 ns), for the progress timer.
    int64_t positionCourante() const override { return position_.load(); }

private:
    class Suivi;
    template <typename Preparer>
    bool construire(const QString& source, const QString& destination, Preparer&& preparer);
    void arreterFil();
    DVHeader* enteteDV();
    void executer(uint64_t numero);
    void terminerRun(IssueConversion issue, const QString& texte);

    DVHeader dvheader_;
    Superposer superposer_;
    // Made again for each burn-in: it takes the day and month names of the moment.
    std::unique_ptr<Datecoder> datecoder_ = std::make_unique<Datecoder>();
    FabriqueSortie fabriqueSortie_;
    bool actif_ = false;
    bool dvheaderPresent_ = true;
    bool lance_ = false;
    QString source_;
    QString destination_;
    std::unique_ptr<TravailConversion> travail_;
    std::thread fil_;
    std::atomic<bool> arret_{false};
    std::atomic<bool> fini_{false};
    std::atomic<int64_t> position_{0};
    // The run whose end is awaited: a queued end of an earlier run is ignored.
    std::shared_ptr<std::atomic<uint64_t>> runCourant_;
    mutable std::mutex verrou_;
    IssueConversion issue_ = IssueConversion::Aucune;
    QString texteEchec_;
};

// The program's conversion module.
TCdm& moduleConversion();

} // namespace korvan
