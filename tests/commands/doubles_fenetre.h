#pragma once
// Stand-ins for the window's message boxes, progress display and preview,
// recording what the commands asked of them.
#include "commands/interfaces_fenetre.h"
#include "platform/boite_message.h"
#include "platform/ouverture_externe.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace korvan::test {

// Answers questions from a script; with the script exhausted the box counts
// as closed without an answer.
struct BoiteScriptee : BoiteMessage {
    struct Question {
        GenreMessage genre;
        QString texte;
        BoutonsMessage boutons;
    };
    std::deque<ReponseMessage> reponses;
    std::vector<Question> questions;

    BoiteScriptee() = default;
    BoiteScriptee(std::initializer_list<ReponseMessage> r) : reponses(r) {}

    // The texts of the "Erreur" messages, in order.
    QStringList erreurs() const
    {
        QStringList e;
        for (const Question& q : questions)
            if (q.genre == GenreMessage::Erreur)
                e << q.texte;
        return e;
    }

    ReponseMessage afficher(GenreMessage genre, const QString& texte, BoutonsMessage boutons) override
    {
        questions.push_back({genre, texte, boutons});
        if (reponses.empty())
            return ReponseMessage::Fermee;
        const ReponseMessage r = reponses.front();
        reponses.pop_front();
        return r;
    }
};

struct ProgressionMemoire : AffichageProgression {
    bool curseurVisible = true;
    bool jaugeVisible = false;
    int jauge = -1;
    std::vector<int> jauges; // every value set
    QStringList statuts;

    void montrerCurseurPosition(bool v) override { curseurVisible = v; }
    void montrerJauge(bool v) override { jaugeVisible = v; }
    void definirJauge(int p) override
    {
        jauge = p;
        jauges.push_back(p);
    }
    void texteStatut(const QString& t) override { statuts << t; }
};

struct ApercuMemoire : ControleApercu {
    int liberations = 0;
    int reprises = 0;
    bool libere() const { return liberations > reprises; }
    void libererFichier() override { ++liberations; }
    void reprendreFichiers() override { ++reprises; }
};

struct OuvreurMemoire : OuvreurExterne {
    QStringList ouverts;
    struct Lancement {
        QString programme;
        QStringList arguments;
    };
    std::vector<Lancement> lancements;

    bool ouvrirAvecBureau(const QString& chemin) override
    {
        ouverts << chemin;
        return true;
    }
    bool demarrerProgramme(const QString& programme, const QStringList& arguments) override
    {
        lancements.push_back({programme, arguments});
        return true;
    }
};

} // namespace korvan::test
