#include "commands/commandes_conversion.h"

#include "analysis/chemins.h"
#include "analysis/format_texte.h"
#include "pipelines/ConvertirDVunit.h"
#include "pipelines/presence_filtres.h"
#include "pipelines/reencodage_dv.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"

#include <QFileInfo>

#include <cmath>

namespace korvan {

namespace {

// What differs from one of these commands to the next.
struct Conversion {
    QString (*suffixe)();
    // Builds the graph for that entry.
    bool (*graphe)(TCdm& cdm, const TAfficherFichier& entree, const QString& sortie);
    // The DV type commands tell the list about their output whatever happened.
    bool ajoutDansTousLesCas;
    // The output enters the list once the graph ran (the WAV file never does).
    bool ajoutApresRun;
    // The filter settings sent before the run; none when null.
    void (*reglages)(TCdm& cdm, const TAfficherFichier& entree);
    // Why a graph of zero duration is not run.
    const char* rienAConvertir;
    // The settings go before the duration is read (the burn-in and the clock
    // shift), or once it is known.
    bool reglagesAvantDuree = false;
};

template <bool (TCdm::*Builder)(const QString&, const QString&)>
bool sansStandard(TCdm& cdm, const TAfficherFichier& entree, const QString& sortie)
{
    return (cdm.*Builder)(entree.chemin, sortie);
}

// PAL/NTSC: the builder of the source's type, the target standard given.
template <int Standard>
bool changementStandard(TCdm& cdm, const TAfficherFichier& entree, const QString& sortie)
{
    return entree.typeDV == 2 ? cdm.GrapheStandardType2(entree.chemin, sortie, Standard)
                              : cdm.GrapheStandardType1(entree.chemin, sortie, Standard);
}

// The burn-in keeps the entry's standard.
bool incrustation(TCdm& cdm, const TAfficherFichier& entree, const QString& sortie)
{
    return entree.typeDV == 2 ? cdm.GrapheIncrustType2(entree.chemin, sortie, entree.standard)
                              : cdm.GrapheIncrustType1(entree.chemin, sortie, entree.standard);
}

bool recompression(TCdm& cdm, const TAfficherFichier& entree, const QString& sortie)
{
    return cdm.GrapheRecompresser(entree.chemin, sortie, prefStandard);
}

QString suffixeType1() { return QStringLiteral("_type1.avi"); }
QString suffixeType2() { return QStringLiteral("_type2.avi"); }
QString suffixeWav() { return QStringLiteral(".wav"); }
QString suffixeHoraire() { return SuffixeDecalageHoraire(prefDecalageHoraire); }
QString suffixeNtsc() { return QStringLiteral("_ntsc.avi"); }
QString suffixePal() { return QStringLiteral("_pal.avi"); }
QString suffixeIncrustation() { return QStringLiteral("_in.avi"); }
QString suffixeRecompression() { return QStringLiteral("_dvtype2.avi"); }

// The DV header writer sets the frames' own clock, shifted, and nothing else.
void reglerDecalage(TCdm& cdm, const TAfficherFichier&)
{
    IDVHeaderConfig& h = cdm.DVheader();
    h.Reset(1);
    h.SetHourOffset(prefDecalageHoraire);
    h.SetCopySubcode(false);
    h.SetCreateDatePacks(false);
    h.SetSingleInput(true);
}

// A new standard: the source frame's clock on every output frame (shifted
// when an offset is set), its picture format; the time code stays behind,
// its frame numbers belong to the source's rate.
void reglerChangementStandard(TCdm& cdm, const TAfficherFichier& entree)
{
    if (!drapeauxFiltres().okDVHeader())
        return;
    IDVHeaderConfig& h = cdm.DVheader();
    h.Reset(1);
    h.SetHourOffset(prefDecalageHoraire);
    h.SetCopySubcode(false);
    h.SetCreateDatePacks(true);
    h.SetWide(entree.format16x9);
}

// The burn-in draws the datecode the preview shows, where the sliders put it.
void reglerIncrustation(TCdm& cdm, const TAfficherFichier& entree)
{
    IDatecoderConfig& d = cdm.datecoder();
    d.SetBurnIn(true);
    d.SetFormat(prefFormatAfficher);
    // Every frame reaches it once: the duration counts frames.
    d.SetAutoDuration(int(std::lround(prefDureeIncrust * entree.fps)));
    d.SetAutoInlay(prefAutoIncrust);
    d.SetHourOffset(prefDecalageHoraire);
    ISuperposerParam3& s = cdm.superposer();
    s.SetText(QStringLiteral("%D"));
    s.SetAutoFontSize(prefAutoFontSize);
    EnvoyerPolice(s, prefIncrustFont);
    s.SetVisible(true);
    s.SetAutoSizeDivisor(20);
    s.SetPosition(prefIncrustX, prefIncrustY, 0);
    s.SetOutlineWidth(0);
    IDVHeaderConfig& h = cdm.DVheader();
    h.Reset(1);
    h.SetHourOffset(prefDecalageHoraire);
    h.SetCopySubcode(true);
    if (prefDecalageHoraire != 0)
        h.SetCreateDatePacks(true);
    h.SetWide(entree.format16x9);
}

// A recompressed clip has no recording clock: only its picture format is set.
void reglerRecompression(TCdm& cdm, const TAfficherFichier& entree)
{
    if (!drapeauxFiltres().okDVHeader())
        return;
    IDVHeaderConfig& h = cdm.DVheader();
    h.Reset(1);
    h.SetWide(RecompressionLarge(entree.largeur, entree.hauteur));
    h.SetCopySubcode(false);
    h.SetCreateDatePacks(false);
    h.SetHourOffset(0);
}

constexpr const char* kSansImage = "Le fichier ne contient aucune image";
const Conversion kVersType1{suffixeType1, sansStandard<&TCdm::GrapheVersType1>, true, true, nullptr, kSansImage};
const Conversion kVersType2{suffixeType2, sansStandard<&TCdm::GrapheVersType2>, true, true, nullptr, kSansImage};
const Conversion kExtraireAudio{suffixeWav, sansStandard<&TCdm::GrapheExtraireAudio>, false, false, nullptr,
                                "Le fichier ne contient pas de son"};
const Conversion kDecalage{suffixeHoraire, sansStandard<&TCdm::GrapheDecalageHoraire>, false, true, reglerDecalage,
                           kSansImage, true};
const Conversion kNtsc{suffixeNtsc, changementStandard<2>, false, true, reglerChangementStandard, kSansImage};
const Conversion kPal{suffixePal, changementStandard<1>, false, true, reglerChangementStandard, kSansImage};
const Conversion kIncrustation{suffixeIncrustation, incrustation, false, true, reglerIncrustation, kSansImage, true};
const Conversion kRecompression{suffixeRecompression, recompression, false, true, reglerRecompression, kSansImage};

void confirmer(const Conversion& c, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmMsg.clear();
    if (!fichier)
        return;
    const QString sortie = CheminConverti(*fichier, c.suffixe());
    if (!QFileInfo::exists(sortie))
        return;
    confirmMsg = QuestionCourte({Format("Voulez-vous remplacer le fichier %s déjà existant?", sortie),
                                 QStringLiteral("Voulez-vous remplacer le fichier déjà existant?")});
}

// One graph command on one entry: build, read the duration, set the
// filters, run, wait, stop; errors told, never thrown.
void executer(const Conversion& c, const ServicesCommandes& services, const TAfficherFichier* fichier,
              QString& newfichier, TchUpdateType& update)
{
    newfichier.clear();
    update = utNone;
    if (!fichier)
        return;
    conversionTerminee = false;
    const QString sortie = CheminConverti(*fichier, c.suffixe());
    TCdm& cdm = services.conversionEffective();
    try {
        if (cdm.actif())
            cdm.DesactiverGraphe();
        cdm.definirDVHeaderPresent(drapeauxFiltres().okDVHeader());
        const bool construit = c.graphe(cdm, *fichier, sortie);
        if (construit && c.reglages && c.reglagesAvantDuree)
            c.reglages(cdm, *fichier);
        if (!construit) {
            progressionConversion = nullptr;
            services.signalerErreur(cdm.texteEchec());
        } else if (const int64_t duree = cdm.Duree(); duree <= 0) {
            progressionConversion = nullptr;
            cdm.DesactiverGraphe();
            services.signalerErreur(QStringLiteral("Impossible de convertir le fichier ") + fichier->chemin +
                                    QStringLiteral("\r\n") + QString::fromUtf8(c.rienAConvertir));
        } else {
            dureeConversion = duree;
            if (c.reglages && !c.reglagesAvantDuree)
                c.reglages(cdm, *fichier);
            cdm.Lancer();
            services.attendreFinConversion();
            cdm.Arreter();
            const IssueConversion issue = cdm.issue();
            const QString echec = cdm.texteEchec();
            cdm.DesactiverGraphe();
            progressionConversion = nullptr;
            if (issue == IssueConversion::Echec) {
                services.signalerErreur(echec);
            } else if (c.ajoutApresRun) {
                newfichier = sortie;
                update = utAdd;
            }
        }
    } catch (...) {
        progressionConversion = nullptr;
    }
    if (c.ajoutDansTousLesCas) {
        newfichier = sortie;
        update = utAdd;
    }
}

bool estType1AutreQueDvsd(const TAfficherFichier& f)
{
    return f.estDV && f.typeDV == 1 && f.codec != "dvsd";
}

// A DV clip whose frames the DV decoder takes: type 2, or type 1 of codec "dvsd".
bool estDVDecodable(const TAfficherFichier& f)
{
    return f.estDV && (f.typeDV == 2 || f.codec == "dvsd");
}

} // namespace

QString CheminConverti(const TAfficherFichier& entree, const QString& suffixe)
{
    if (prefMemeDossier)
        return ChangerExtension(entree.chemin, suffixe);
    return prefDossierSave + ChangerExtension(entree.nom, suffixe);
}

QString SuffixeDecalageHoraire(int decalage)
{
    QString s = QStringLiteral("_hor");
    if (decalage > 0)
        s += QLatin1Char('+') + QString::number(decalage);
    else if (decalage < 0)
        s += QLatin1Char('-') + QString::number(-decalage);
    return s + QStringLiteral(".avi");
}

void DVtype1FileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && fichier->typeDV == 2 && fichier->estDV;
}

void DVType2FileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && fichier->typeDV == 1 && fichier->codec == "dvsd";
}

void ExtraireAudioGeneralCondition(TParam&, bool& visible)
{
    visible = drapeauxFiltres().okWavDest();
}

void ExtraireAudioFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    enabled = fichier && fichier->texteAudio != QLatin1String("N/A");
    visible = fichier && !estType1AutreQueDvsd(*fichier);
}

void DecalerHoraireGeneralCondition(TParam&, bool& visible)
{
    visible = drapeauxFiltres().okDVHeader();
}

void DecalerHoraireFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = fichier && fichier->estDV;
    enabled = visible && prefDecalageHoraire != 0;
}

void DVtype1Confirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kVersType1, fichier, confirmMsg);
}

void DVType2Confirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kVersType2, fichier, confirmMsg);
}

void ExtraireAudioConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kExtraireAudio, fichier, confirmMsg);
}

void DecalerHoraireConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kDecalage, fichier, confirmMsg);
}

void DVtype1Execution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString& newfichier,
                      TchUpdateType& update)
{
    executer(kVersType1, services, fichier, newfichier, update);
}

void DVType2Execution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString& newfichier,
                      TchUpdateType& update)
{
    executer(kVersType2, services, fichier, newfichier, update);
}

void ExtraireAudioExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                            QString& newfichier, TchUpdateType& update)
{
    executer(kExtraireAudio, services, fichier, newfichier, update);
}

void DecalerHoraireExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                             QString& newfichier, TchUpdateType& update)
{
    executer(kDecalage, services, fichier, newfichier, update);
}

void StandardGeneralCondition(TParam&, bool& visible)
{
    visible = drapeauxFiltres().okDesentrelaceur();
}

void NtscFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && estDVDecodable(*fichier) && fichier->standard == standardPal;
}

void PalFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && estDVDecodable(*fichier) && fichier->standard == standardNtsc;
}

void IncrusterDatecodeGeneralCondition(TParam&, bool& visible)
{
    visible = drapeauxFiltres().okIncrustation();
}

void IncrusterDatecodeFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && estDVDecodable(*fichier);
}

void ConvertirDVFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = true;
    enabled = fichier && !fichier->estDV;
}

void NtscConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kNtsc, fichier, confirmMsg);
}

void PalConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kPal, fichier, confirmMsg);
}

void IncrusterDatecodeConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kIncrustation, fichier, confirmMsg);
}

void ConvertirDVConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmer(kRecompression, fichier, confirmMsg);
}

void NtscExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString& newfichier,
                   TchUpdateType& update)
{
    executer(kNtsc, services, fichier, newfichier, update);
}

void PalExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier, QString& newfichier,
                  TchUpdateType& update)
{
    executer(kPal, services, fichier, newfichier, update);
}

void IncrusterDatecodeExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                                QString& newfichier, TchUpdateType& update)
{
    executer(kIncrustation, services, fichier, newfichier, update);
}

void ConvertirDVExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                          QString& newfichier, TchUpdateType& update)
{
    executer(kRecompression, services, fichier, newfichier, update);
}

} // namespace korvan
