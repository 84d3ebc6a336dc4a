#pragma once
// What the conversion tests share: a graph of the conversion module run to
// its end as a command runs it, and the frame-by-frame comparison of a
// converted clip with its source.
#include "analysis/disposition_son_dv.h"
#include "pipelines/ConvertirDVunit.h"
#include "platform/etat_programme.h"
#include "support/trames_douze_bits.h"
#include "support/trames_dv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace korvan::test {

using Graphe = bool (TCdm::*)(const QString& source, const QString& destination);

struct Resultat {
    bool construit = false;
    IssueConversion issue = IssueConversion::Aucune;
    QString echec;
    int64_t duree = 0;
};

// A graph builder that takes more than the two paths (a target standard).
using Constructeur = std::function<bool(TCdm&, const QString& source, const QString& destination)>;

// Builds the graph, runs it and waits for the worker, then empties the module.
inline Resultat convertir(TCdm& cdm, const Constructeur& construire, const std::string& source,
                          const std::string& sortie, const std::function<void(TCdm&)>& reglages = {})
{
    Resultat r;
    r.construit = construire(cdm, QString::fromStdString(source), QString::fromStdString(sortie));
    if (!r.construit) {
        r.echec = cdm.texteEchec();
        return r;
    }
    r.duree = cdm.Duree();
    if (reglages)
        reglages(cdm);
    cdm.Lancer();
    while (!cdm.fini())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    cdm.Arreter();
    r.issue = cdm.issue();
    r.echec = cdm.texteEchec();
    cdm.DesactiverGraphe();
    progressionConversion = nullptr;
    return r;
}

inline Resultat convertir(TCdm& cdm, Graphe graphe, const std::string& source, const std::string& sortie,
                          const std::function<void(TCdm&)>& reglages = {})
{
    return convertir(cdm, Constructeur(graphe), source, sortie, reglages);
}

inline bool estBlocSon(size_t bloc)
{
    for (int j = 0; j < kZoneAaux.nombre; ++j)
        if (kZoneAaux.bloc(j) == bloc)
            return true;
    return false;
}

// Frame by frame, the output keeps every block but the audio blocks byte for
// byte, and in the audio blocks their IDs and every pack but the source pack
// (the date and time copies among them); only the samples and the source
// pack may change.
inline void verifierImagesGardees(const std::vector<TrameDV>& source, const std::vector<TrameDV>& sortie)
{
    ASSERT_EQ(source.size(), sortie.size());
    for (size_t i = 0; i < source.size(); ++i) {
        ASSERT_EQ(source[i].size(), sortie[i].size()) << "frame " << i;
        for (size_t o = 0; o < source[i].size(); ++o) {
            if (source[i][o] == sortie[i][o])
                continue;
            const size_t bloc = (o % kOctetsSequenceDIF) / kOctetsBlocDIF;
            const size_t dansBloc = o % kOctetsBlocDIF;
            const bool packSource = dansBloc >= 3 && dansBloc < kDebutDonneesSon && sortie[i][o - dansBloc + 3] == 0x50;
            ASSERT_TRUE(estBlocSon(bloc) && (dansBloc >= kDebutDonneesSon || packSource))
                << "frame " << i << " byte " << o << " (block " << bloc << ") changed";
        }
    }
}

// The reference sound at the length of the converted one: what the output
// must hold, the source's samples with silence after their end.
inline QByteArray aLaLongueur(QByteArray reference, qsizetype longueur)
{
    reference.resize(longueur, '\0');
    return reference;
}

} // namespace korvan::test
