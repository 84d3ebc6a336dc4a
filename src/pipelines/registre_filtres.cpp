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
    if (ffmpeg::filtreDisponible("yadif"))
        c.desentrelaceur = QStringLiteral("yadif");
    else if (ffmpeg::filtreDisponible("bwdif"))
        c.desentrelaceur = QStringLiteral("bwdif");
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

RegistreFiltres RegistreFiltres::integre(const CapacitesMachine& c, const QStringList& absents)
{
    struct Role {
        const char* nom;
        CategorieFiltre categorie;
        QString implementation;
        bool disponible;
        const char* raison; // why it is missing
    };
    constexpr auto filtres = CategorieFiltre::FiltresDirectShow;
    const QString desentrelaceur = c.desentrelaceur == QLatin1String("bwdif")
        ? QString::fromLatin1(implementation::desentrelaceurBwdif)
        : QString::fromLatin1(implementation::desentrelaceurYadif);
    const std::vector<Role> roles = {
        {nomFiltre::sourceFichier, filtres, implementation::sourceFichier, c.lectureFichier,
         "libavformat ne lit pas les fichiers (protocole file)"},
        {nomFiltre::ecritureFichier, filtres, implementation::ecritureFichier, c.ecritureFichier,
         "libavformat n'écrit pas les fichiers (protocole file)"},
        {nomFiltre::separateurAvi, filtres, implementation::separateurAvi, c.demuxeurAvi,
         "libavformat n'a pas de démultiplexeur avi"},
        {nomFiltre::separateurDv, filtres, implementation::separateurDv, c.demuxeurDv,
         "libavformat n'a pas de démultiplexeur dv"},
        {nomFiltre::multiplexeurDv, filtres, implementation::multiplexeurDv, c.muxeurDv,
         "libavformat n'a pas de multiplexeur dv"},
        {nomFiltre::multiplexeurAvi, filtres, implementation::multiplexeurAvi, c.muxeurAvi,
         "libavformat n'a pas de multiplexeur avi"},
        {nomFiltre::decodeurDv, filtres, implementation::decodeurDv, c.decodeurDv,
         "libavcodec n'a pas de décodeur dvvideo"},
        {nomFiltre::encodeurDv, CategorieFiltre::CompresseursVideo, implementation::encodeurDv, c.encodeurDv,
         "libavcodec n'a pas d'encodeur dvvideo"},
        {nomFiltre::conversionAudio, filtres, implementation::conversionAudio, c.conversionAudio,
         "libswresample ou l'encodeur pcm_s16le manque"},
        {nomFiltre::te, filtres, implementation::te, true, ""},
        {nomFiltre::rienAfficher, filtres, implementation::rienAfficher, true, ""},
        {nomFiltre::conversionCouleur, filtres, implementation::conversionCouleur, c.conversionCouleur,
         "libswscale ne convertit pas les images DV en RGB"},
        {nomFiltre::sortieAudio, CategorieFiltre::RendusAudio, implementation::sortieAudioParDefaut,
         c.sortieAudioParDefaut, "Qt Multimedia ne voit aucune sortie audio"},
        {nomFiltre::ecritureWav, filtres, implementation::ecritureWav, c.muxeurWav,
         "libavformat n'a pas de multiplexeur wav"},
        {nomFiltre::desentrelaceur, filtres, desentrelaceur, !c.desentrelaceur.isEmpty(),
         "libavfilter n'a ni yadif ni bwdif"},
        {nomFiltre::superposer, filtres, implementation::superposer, true, ""},
        {nomFiltre::datecoder, filtres, implementation::datecoder, true, ""},
        {nomFiltre::dvHeader, filtres, implementation::dvHeader, true, ""},
        {nomFiltre::timeStamper, filtres, implementation::timeStamper, true, ""},
    };

    const QString raisonVariable = QStringLiteral("marqué absent par %1").arg(QLatin1String(kVariableFiltresAbsents));
    const auto estMarqueAbsent = [&](const QString& nom) {
        return std::any_of(absents.begin(), absents.end(), [&](const QString& a) { return memeNomFiltre(a, nom); });
    };

    RegistreFiltres registre;
    const auto ajouter = [&](const QString& nom, CategorieFiltre categorie, const QString& impl, bool disponible,
                             const QString& raison) {
        if (estMarqueAbsent(nom))
            registre.noterManquant(nom, categorie, raisonVariable);
        else if (disponible)
            registre.inscrire({nom, categorie, impl});
        else
            registre.noterManquant(nom, categorie, raison);
    };
    for (const Role& r : roles)
        ajouter(QString::fromLatin1(r.nom), r.categorie, r.implementation, r.disponible, QString::fromUtf8(r.raison));
    // Every output device is an audio renderer of its own, after the default one.
    for (const SortieAudio& s : c.sortiesAudio)
        ajouter(s.description, CategorieFiltre::RendusAudio, QLatin1String(implementation::prefixeSortieAudio) + s.id,
                true, {});
    return registre;
}

RegistreFiltres RegistreFiltres::machine()
{
    return integre(CapacitesMachine::detecter(), nomsFiltresAbsents(qEnvironmentVariable(kVariableFiltresAbsents)));
}

} // namespace korvan
