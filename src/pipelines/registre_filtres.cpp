#include "pipelines/registre_filtres.h"

#include "pipelines/ffmpeg_glue.h"

#include <QAudioDevice>
#include <QCollator>
#include <QCoreApplication>
#include <QLocale>
#include <QMediaDevices>

#include <algorithm>

namespace korvan {

QString nomCategorie(CategorieFiltre categorie)
{
    switch (categorie) {
    case CategorieFiltre::FiltresDirectShow:
        return QStringLiteral("DirectShow filters");
    case CategorieFiltre::CompresseursVideo:
        return QStringLiteral("Video compressors");
    case CategorieFiltre::RendusAudio:
        return QStringLiteral("Audio renderers");
    }
    return {};
}

QString DesentrelaceurMachine()
{
    if (ffmpeg::filtreDisponible("yadif"))
        return QStringLiteral("yadif");
    if (ffmpeg::filtreDisponible("bwdif"))
        return QStringLiteral("bwdif");
    return {};
}

CapacitesMachine CapacitesMachine::detecter()
{
    CapacitesMachine c;
    c.lectureFichier = ffmpeg::protocoleDisponible("file", false);
    c.ecritureFichier = ffmpeg::protocoleDisponible("file", true);
    c.demuxeurAvi = ffmpeg::demuxeurDisponible("avi");
    c.demuxeurDv = ffmpeg::demuxeurDisponible("dv");
    c.muxeurDv = ffmpeg::muxeurDisponible("dv");
    c.muxeurAvi = ffmpeg::muxeurDisponible("avi");
    c.muxeurWav = ffmpeg::muxeurDisponible("wav");
    c.decodeurDv = ffmpeg::decodeurDisponible("dvvideo");
    c.encodeurDv = ffmpeg::encodeurDisponible("dvvideo");
    c.conversionAudio = ffmpeg::conversionAudioDisponible();
    c.conversionCouleur = ffmpeg::conversionImageDisponible();
    c.desentrelaceur = DesentrelaceurMachine();
    // Qt Multimedia needs the application object; without one there is no device to ask.
    if (QCoreApplication::instance()) {
        c.sortieAudioParDefaut = !QMediaDevices::defaultAudioOutput().isNull();
        for (const QAudioDevice& d : QMediaDevices::audioOutputs())
            c.sortiesAudio.push_back({QString::fromUtf8(d.id()), d.description()});
    }
    return c;
}

QStringList nomsFiltresAbsents(const QString& valeur)
{
    QStringList noms;
    for (const QString& morceau : valeur.split(QLatin1Char(';'))) {
        const QString nom = morceau.trimmed();
        if (!nom.isEmpty())
            noms << nom;
    }
    return noms;
}

bool memeNomFiltre(const QString& a, const QString& b)
{
    QCollator collation{QLocale()};
    collation.setCaseSensitivity(Qt::CaseInsensitive);
    return collation.compare(a, b) == 0;
}

void RegistreFiltres::inscrire(const EntreeRegistre& entree)
{
    entrees_.push_back(entree);
    constats_.push_back({entree.nomConvivial, entree.categorie, true, entree.implementation});
}

int RegistreFiltres::retirer(const QString& nomConvivial, const QString& raison)
{
    const auto fin = std::remove_if(entrees_.begin(), entrees_.end(), [&](const EntreeRegistre& e) {
        return memeNomFiltre(e.nomConvivial, nomConvivial);
    });
    const int retires = int(entrees_.end() - fin);
    entrees_.erase(fin, entrees_.end());
    for (ConstatFiltre& c : constats_)
        if (c.present && memeNomFiltre(c.nomConvivial, nomConvivial)) {
            c.present = false;
            c.detail = raison;
        }
    return retires;
}

void RegistreFiltres::noterManquant(const QString& nomConvivial, CategorieFiltre categorie, const QString& raison)
{
    constats_.push_back({nomConvivial, categorie, false, raison});
}

std::vector<EntreeRegistre> RegistreFiltres::enumerer(CategorieFiltre categorie) const
{
    std::vector<EntreeRegistre> liste;
    for (const EntreeRegistre& e : entrees_)
        if (e.categorie == categorie)
            liste.push_back(e);
    return liste;
}

namespace {

// Why the machine does not offer the role. A part of the media libraries
// says it from its key: "avformat:demuxer:avi" is libavformat's avi demuxer.
QString raisonAbsence(const RoleFiltre& r)
{
    if (r.raison)
        return QString::fromUtf8(r.raison);
    static const std::pair<const char*, const char*> genres[] = {
        {"demuxer", "de démultiplexeur"},
        {"muxer", "de multiplexeur"},
        {"decoder", "de décodeur"},
        {"encoder", "d'encodeur"},
    };
    const QStringList parties = QString::fromLatin1(r.implementation).split(u':');
    for (const auto& [genre, texte] : genres)
        if (parties.size() == 3 && parties[1] == QLatin1String(genre))
            return QStringLiteral("lib%1 n'a pas %2 %3").arg(parties[0], QString::fromUtf8(texte), parties[2]);
    return {};
}

// The implementation the machine offers for the role; empty when it offers none.
QString implementationOfferte(const RoleFiltre& r, const CapacitesMachine& c)
{
    const QString implementation = QString::fromLatin1(r.implementation);
    if (r.choix) {
        const QString& choisi = c.*r.choix;
        return choisi.isEmpty() ? QString() : implementation.section(u':', 0, 0) + u':' + choisi;
    }
    return !r.capacite || c.*r.capacite ? implementation : QString();
}

} // namespace

RegistreFiltres RegistreFiltres::integre(const CapacitesMachine& c, const QStringList& absents)
{
    const QString raisonVariable = QStringLiteral("marqué absent par %1").arg(QLatin1String(kVariableFiltresAbsents));
    const auto estMarqueAbsent = [&](const QString& nom) {
        return std::any_of(absents.begin(), absents.end(), [&](const QString& a) { return memeNomFiltre(a, nom); });
    };

    RegistreFiltres registre;
    const auto ajouter = [&](const QString& nom, CategorieFiltre categorie, const QString& impl, const QString& raison) {
        if (estMarqueAbsent(nom))
            registre.noterManquant(nom, categorie, raisonVariable);
        else if (!impl.isEmpty())
            registre.inscrire({nom, categorie, impl});
        else
            registre.noterManquant(nom, categorie, raison);
    };
    for (const RoleFiltre* r : rolesFiltres)
        ajouter(QString::fromLatin1(r->nomConvivial), r->categorie, implementationOfferte(*r, c), raisonAbsence(*r));
    for (const SortieAudio& s : c.sortiesAudio)
        ajouter(s.description, CategorieFiltre::RendusAudio, QLatin1String(kPrefixeSortieAudio) + s.id, {});
    return registre;
}

RegistreFiltres RegistreFiltres::machine()
{
    return integre(CapacitesMachine::detecter(), nomsFiltresAbsents(qEnvironmentVariable(kVariableFiltresAbsents)));
}

} // namespace korvan
