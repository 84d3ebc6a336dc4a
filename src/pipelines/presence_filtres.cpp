#include "pipelines/presence_filtres.h"

#include "analysis/texte_court.h"

namespace korvan {

namespace {

DrapeauxFiltres drapeauxProgramme;

} // namespace

ComposantFiltre composantIntegre(const RoleFiltre& role)
{
    return {{QString::fromLatin1(role.implementation), {}, std::nullopt}, &role};
}

CatalogueFiltres::CatalogueFiltres()
{
    // Which members hold each role, and so start with its implementation.
    const auto tenir = [](const RoleFiltre& role, std::initializer_list<ComposantFiltre*> composants) {
        for (ComposantFiltre* c : composants)
            *c = composantIntegre(role);
    };
    tenir(roles::sourceFichier, {&cdm.source, &viewdm.source, &dm.source, &dmScenes.source});
    tenir(roles::ecritureFichier, {&cdm.destination});
    tenir(roles::separateurAvi, {&cdm.avisplitter, &viewdm.avisplitter, &dm.avisplitter, &dmScenes.splitter});
    tenir(roles::separateurDv, {&cdm.dvsplitter, &viewdm.dvsplitter, &dm.dvsplitter});
    tenir(roles::multiplexeurDv, {&cdm.dvmuxer});
    tenir(roles::multiplexeurAvi, {&cdm.avimux});
    tenir(roles::decodeurDv, {&cdm.Dvdec, &viewdm.Dvdecoder});
    tenir(roles::encodeurDv, {&cdm.DVenc});
    tenir(roles::conversionAudio, {&cdm.acmwrapper});
    tenir(roles::te, {&cdm.infinite, &viewdm.infinite0, &viewdm.infinite});
    tenir(roles::rienAfficher, {&cdm.null, &viewdm.nullrender, &dm.nullrender, &dmScenes.null});
    tenir(roles::conversionCouleur, {&viewdm.color});
    tenir(roles::sortieAudio, {&viewdm.audiorender});
    tenir(roles::ecritureWav, {&cdm.WAVDest});
    tenir(roles::desentrelaceur, {&cdm.Deinterlacer});
    tenir(roles::superposer, {&cdm.superposer, &viewdm.Superposer});
    tenir(roles::datecoder, {&cdm.datecoder, &viewdm.datecoder});
    tenir(roles::dvHeader, {&cdm.DVheader});
    tenir(roles::timeStamper, {&viewdm.ts, &viewdm.TsNoTime});
    // The conversion module's overlay pair starts empty: only the check gives it one.
    cdm.superposer.identite = {};
    cdm.datecoder.identite = {};
    for (ComposantFiltre* sg : {&viewdm.sg, &dm.sg, &dmScenes.sg})
        sg->identite.implementation = QLatin1String(kCaptureImages);
}

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
    using enum DrapeauFiltre;
    // The checks in their order, each flag with the components it looks up
    // (as their roles), in turn.
    const std::pair<DrapeauFiltre, std::vector<ComposantFiltre*>> chaines[] = {
        {okDesentrelaceur, {&c.cdm.Deinterlacer}},
        {okSuperposer, {&c.cdm.superposer}},
        {okDatecoder, {&c.cdm.datecoder}},
        {okDVHeader, {&c.cdm.DVheader}},
        {okTimeStamper, {&c.viewdm.ts}},
        {okWavDest, {&c.cdm.WAVDest}},
        {okConversion,
         {&c.cdm.source, &c.cdm.destination, &c.cdm.avisplitter, &c.cdm.dvmuxer, &c.cdm.avimux, &c.cdm.dvsplitter,
          &c.cdm.Dvdec, &c.cdm.acmwrapper, &c.cdm.infinite, &c.cdm.null, &c.cdm.DVenc}},
        {okListe, {&c.dm.nullrender, &c.dm.dvsplitter, &c.dm.avisplitter, &c.dm.source}},
        {okScenes, {&c.dmScenes.null, &c.dmScenes.splitter, &c.dmScenes.source}},
        {okVisualisation, {&c.viewdm.avisplitter, &c.viewdm.source, &c.viewdm.audiorender}},
    };

    DrapeauxFiltres d;
    EnumerateurFiltres e(registre);
    for (const auto& [drapeau, chaine] : chaines) {
        bool present = true;
        // A later check of a chain runs only while the chain still holds.
        for (auto composant = chaine.begin(); present && composant != chaine.end(); ++composant) {
            const RoleFiltre& role = *(*composant)->role;
            if (e.categorie() != role.categorie)
                e.selectionnerCategorie(role.categorie);
            present = FiltrePresent(e, QString::fromLatin1(role.nomConvivial), **composant);
        }
        d.poser(drapeau, present);
    }
    d.poser(okIncrustation, d.okSuperposer() && d.okDatecoder() && d.okTimeStamper() && d.okDVHeader());
    return d;
}

const DrapeauxFiltres& VerifierFiltres()
{
    drapeauxProgramme = VerifierFiltres(RegistreFiltres::machine(), catalogueFiltres());
    return drapeauxProgramme;
}

const DrapeauxFiltres& drapeauxFiltres()
{
    return drapeauxProgramme;
}

DrapeauxFiltres DrapeauxFiltres::tous()
{
    DrapeauxFiltres d;
    d.bits_.set();
    return d;
}

std::vector<LigneRapportFiltres> RapportFiltres(const DrapeauxFiltres& d)
{
    struct Ligne {
        const char* drapeau;
        const char* filtre; // a flag of one filter: its name as the report spells it
        const char* textePresent = nullptr; // a group's
        const char* texteAbsent = nullptr;
    };
    // In the flags' order. The texts are the program's own, odd spellings included.
    const Ligne lignes[] = {
        {"okConversion", nullptr, "Les filtres de conversion sont tous présents.",
         "Certains filtres de conversion manquent sont absents."},
        {"okListe", nullptr, "Les filtres pour lister les vidéo sont tous présents.",
         "Certains filtres pour lister les vidéos sont absents."},
        {"okVisualisation", nullptr, "Les filtres pour visualiser les vidéo sont tous présents.",
         "Certains filtres pour visualiser les vidéos sont absents."},
        {"okScenes", nullptr, "Les filtres pour créer des Scènes sont tous présents.",
         "Certains filtres pour créer des Scénes sont absents."},
        {"okIncrustation", nullptr, "Les filtres pour incruster sont tous présents.",
         "Certains filtres pour Incruster sont absents."},
        {"okDesentrelaceur", "Pinnacle Video Deinterlacer"},
        {"okSuperposer", "Brannoc Superposer3"},
        {"okDatecoder", "Brannoc DateCoder2"},
        {"okDVHeader", "Brannoc DVHeader"},
        {"okTimeStamper", "Brannoc TimeStamper"},
        {"okWavDest", "WavDest"},
    };
    static_assert(std::size(lignes) == kNombreDrapeauxFiltres);
    std::vector<LigneRapportFiltres> rapport;
    for (size_t i = 0; i < kNombreDrapeauxFiltres; ++i) {
        const Ligne& l = lignes[i];
        const bool present = d[DrapeauFiltre(i)];
        const QString texte = l.filtre ? QStringLiteral("Le filtre %1 est %2.")
                                             .arg(QLatin1String(l.filtre), QString::fromUtf8(present ? "présent" : "absent"))
                                       : QString::fromUtf8(present ? l.textePresent : l.texteAbsent);
        rapport.push_back({l.drapeau, texte, present});
    }
    return rapport;
}

std::vector<LigneRapportFiltres> RapportFiltres()
{
    return RapportFiltres(drapeauxFiltres());
}

} // namespace korvan
