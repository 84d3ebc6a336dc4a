#include "pipelines/presence_filtres.h"

#include "analysis/texte_court.h"

namespace korvan {

bool okDesentrelaceur = false;
bool okSuperposer = false;
bool okDatecoder = false;
bool okDVHeader = false;
bool okTimeStamper = false;
bool okWavDest = false;
bool okConversion = false;
bool okListe = false;
bool okVisualisation = false;
bool okScenes = false;
bool okIncrustation = false;

CatalogueFiltres& catalogueFiltres()
{
    static CatalogueFiltres catalogue;
    return catalogue;
}

void EnumerateurFiltres::selectionnerCategorie(CategorieFiltre categorie)
{
    categorie_ = categorie;
    liste_.clear();
    for (const EntreeRegistre& e : registre_.enumerer(categorie))
        liste_.push_back({ChaineCourte(e.nomConvivial), e.implementation});
}

std::optional<FiltreEnumere> EnumerateurFiltres::reenumererJusqua(size_t position) const
{
    if (!categorie_)
        return std::nullopt;
    const std::vector<EntreeRegistre> frais = registre_.enumerer(*categorie_);
    if (position >= frais.size())
        return std::nullopt; // the category shrank since it was selected
    return FiltreEnumere{ChaineCourte(frais[position].nomConvivial), frais[position].implementation};
}

bool FiltrePresent(EnumerateurFiltres& enumerateur, const QString& nomConvivial, ComposantFiltre& composant)
{
    const std::vector<FiltreEnumere>& liste = enumerateur.liste();
    for (size_t i = liste.size(); i-- > 0;) {
        if (!memeNomFiltre(liste[i].nomConvivial, nomConvivial))
            continue;
        const std::optional<FiltreEnumere> trouve = enumerateur.reenumererJusqua(i);
        if (!trouve)
            return false;
        composant.identite = {trouve->implementation, trouve->nomConvivial, enumerateur.categorie()};
        return true;
    }
    return false;
}

DrapeauxFiltres VerifierFiltres(const RegistreFiltres& registre, CatalogueFiltres& c)
{
    DrapeauxFiltres d;
    EnumerateurFiltres e(registre);
    const auto present = [&](const char* nom, ComposantFiltre& composant) {
        return FiltrePresent(e, QString::fromLatin1(nom), composant);
    };
    // A later check of a chain runs only while the chain still holds.
    const auto suite = [&](bool& chaine, const char* nom, ComposantFiltre& composant) {
        if (chaine)
            chaine = present(nom, composant);
    };

    e.selectionnerCategorie(CategorieFiltre::FiltresDirectShow);
    d.okDesentrelaceur = present(nomFiltre::desentrelaceur, c.cdm.Deinterlacer);
    d.okSuperposer = present(nomFiltre::superposer, c.cdm.superposer);
    d.okDatecoder = present(nomFiltre::datecoder, c.cdm.datecoder);
    d.okDVHeader = present(nomFiltre::dvHeader, c.cdm.DVheader);
    d.okTimeStamper = present(nomFiltre::timeStamper, c.viewdm.ts);
    d.okWavDest = present(nomFiltre::ecritureWav, c.cdm.WAVDest);
    d.okIncrustation = d.okSuperposer && d.okDatecoder && d.okTimeStamper && d.okDVHeader;

    d.okConversion = present(nomFiltre::sourceFichier, c.cdm.source);
    suite(d.okConversion, nomFiltre::ecritureFichier, c.cdm.destination);
    suite(d.okConversion, nomFiltre::separateurAvi, c.cdm.avisplitter);
    suite(d.okConversion, nomFiltre::multiplexeurDv, c.cdm.dvmuxer);
    suite(d.okConversion, nomFiltre::multiplexeurAvi, c.cdm.avimux);
    suite(d.okConversion, nomFiltre::separateurDv, c.cdm.dvsplitter);
    suite(d.okConversion, nomFiltre::decodeurDv, c.cdm.Dvdec);
    suite(d.okConversion, nomFiltre::conversionAudio, c.cdm.acmwrapper);
    suite(d.okConversion, nomFiltre::te, c.cdm.infinite);
    suite(d.okConversion, nomFiltre::rienAfficher, c.cdm.null);
    e.selectionnerCategorie(CategorieFiltre::CompresseursVideo);
    suite(d.okConversion, nomFiltre::encodeurDv, c.cdm.DVenc);
    e.selectionnerCategorie(CategorieFiltre::FiltresDirectShow);

    d.okListe = present(nomFiltre::rienAfficher, c.dm.nullrender);
    suite(d.okListe, nomFiltre::separateurDv, c.dm.dvsplitter);
    suite(d.okListe, nomFiltre::separateurAvi, c.dm.avisplitter);
    suite(d.okListe, nomFiltre::sourceFichier, c.dm.source);

    d.okScenes = present(nomFiltre::rienAfficher, c.dmScenes.null);
    suite(d.okScenes, nomFiltre::separateurAvi, c.dmScenes.splitter);
    suite(d.okScenes, nomFiltre::sourceFichier, c.dmScenes.source);

    d.okVisualisation = present(nomFiltre::separateurAvi, c.viewdm.avisplitter);
    suite(d.okVisualisation, nomFiltre::sourceFichier, c.viewdm.source);
    e.selectionnerCategorie(CategorieFiltre::RendusAudio);
    suite(d.okVisualisation, nomFiltre::sortieAudio, c.viewdm.audiorender);
    return d;
}

void VerifierFiltres()
{
    const DrapeauxFiltres d = VerifierFiltres(RegistreFiltres::machine(), catalogueFiltres());
    okDesentrelaceur = d.okDesentrelaceur;
    okSuperposer = d.okSuperposer;
    okDatecoder = d.okDatecoder;
    okDVHeader = d.okDVHeader;
    okTimeStamper = d.okTimeStamper;
    okWavDest = d.okWavDest;
    okConversion = d.okConversion;
    okListe = d.okListe;
    okVisualisation = d.okVisualisation;
    okScenes = d.okScenes;
    okIncrustation = d.okIncrustation;
}

DrapeauxFiltres drapeauxFiltres()
{
    return {okDesentrelaceur, okSuperposer, okDatecoder, okDVHeader, okTimeStamper, okWavDest,
            okConversion,     okListe,      okVisualisation, okScenes, okIncrustation};
}

std::vector<LigneRapportFiltres> RapportFiltres(const DrapeauxFiltres& d)
{
    struct Ligne {
        const char* drapeau;
        bool present;
        const char* textePresent;
        const char* texteAbsent;
    };
    // The texts are the program's own, odd spellings included.
    const Ligne lignes[] = {
        {"okConversion", d.okConversion, "Les filtres de conversion sont tous présents.",
         "Certains filtres de conversion manquent sont absents."},
        {"okListe", d.okListe, "Les filtres pour lister les vidéo sont tous présents.",
         "Certains filtres pour lister les vidéos sont absents."},
        {"okVisualisation", d.okVisualisation, "Les filtres pour visualiser les vidéo sont tous présents.",
         "Certains filtres pour visualiser les vidéos sont absents."},
        {"okScenes", d.okScenes, "Les filtres pour créer des Scènes sont tous présents.",
         "Certains filtres pour créer des Scénes sont absents."},
        {"okIncrustation", d.okIncrustation, "Les filtres pour incruster sont tous présents.",
         "Certains filtres pour Incruster sont absents."},
        {"okDesentrelaceur", d.okDesentrelaceur, "Le filtre Pinnacle Video Deinterlacer est présent.",
         "Le filtre Pinnacle Video Deinterlacer est absent."},
        {"okSuperposer", d.okSuperposer, "Le filtre Brannoc Superposer3 est présent.",
         "Le filtre Brannoc Superposer3 est absent."},
        {"okDatecoder", d.okDatecoder, "Le filtre Brannoc DateCoder2 est présent.",
         "Le filtre Brannoc DateCoder2 est absent."},
        {"okDVHeader", d.okDVHeader, "Le filtre Brannoc DVHeader est présent.", "Le filtre Brannoc DVHeader est absent."},
        {"okTimeStamper", d.okTimeStamper, "Le filtre Brannoc TimeStamper est présent.",
         "Le filtre Brannoc TimeStamper est absent."},
        {"okWavDest", d.okWavDest, "Le filtre WavDest est présent.", "Le filtre WavDest est absent."},
    };
    std::vector<LigneRapportFiltres> rapport;
    for (const Ligne& l : lignes)
        rapport.push_back({l.drapeau, QString::fromUtf8(l.present ? l.textePresent : l.texteAbsent), l.present});
    return rapport;
}

std::vector<LigneRapportFiltres> RapportFiltres()
{
    return RapportFiltres(drapeauxFiltres());
}

} // namespace korvan
