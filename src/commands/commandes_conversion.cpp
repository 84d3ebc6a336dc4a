#include "commands/commandes_conversion.h"

#include "analysis/chemins.h"
#include "analysis/format_texte.h"
#include "pipelines/ConvertirDVunit.h"
#include "pipelines/presence_filtres.h"
#include "platform/etat_programme.h"
#include "platform/preferences.h"

#include <QFileInfo>

namespace korvan {

namespace {

// What differs from one of these commands to the next.
struct Conversion {
    QString (*suffixe)();
    bool (TCdm::*graphe)(const QString& source, const QString& destination);
    // The DV type commands tell the list about their output whatever happened.
    bool ajoutDansTousLesCas;
    // The output enters the list once the graph ran (the WAV file never does).
    bool ajoutApresRun;
    // The filter settings sent before the run; none when null.
    void (*reglages)(TCdm& cdm);
    // Why a graph of zero duration is not run.
    const char* rienAConvertir;
};

QString suffixeType1() { return QStringLiteral("_type1.avi"); }
QString suffixeType2() { return QStringLiteral("_type2.avi"); }
QString suffixeWav() { return QStringLiteral(".wav"); }
QString suffixeHoraire() { return SuffixeDecalageHoraire(prefDecalageHoraire); }

// The DV header writer sets the frames' own clock, shifted, and nothing else.
void reglerDecalage(TCdm& cdm)
{
    IDVHeaderConfig& h = cdm.DVheader();
    h.Reset(1);
    h.SetHourOffset(prefDecalageHoraire);
    h.SetCopySubcode(false);
    h.SetCreateDatePacks(false);
    h.SetSingleInput(true);
}

const Conversion kVersType1{suffixeType1, &TCdm::GrapheVersType1, true, true, nullptr, "Le fichier ne contient aucune image"};
const Conversion kVersType2{suffixeType2, &TCdm::GrapheVersType2, true, true, nullptr, "Le fichier ne contient aucune image"};
const Conversion kExtraireAudio{suffixeWav, &TCdm::GrapheExtraireAudio, false, false, nullptr, "Le fichier ne contient pas de son"};
const Conversion kDecalage{suffixeHoraire, &TCdm::GrapheDecalageHoraire, false, true, reglerDecalage,
                           "Le fichier ne contient aucune image"};

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
        if (!(cdm.*c.graphe)(fichier->chemin, sortie)) {
            progressionConversion = nullptr;
            services.signalerErreur(cdm.texteEchec());
        } else if (const int64_t duree = cdm.Duree(); duree <= 0) {
            progressionConversion = nullptr;
            cdm.DesactiverGraphe();
            services.signalerErreur(QStringLiteral("Impossible de convertir le fichier ") + fichier->chemin +
                                    QStringLiteral("\r\n") + QString::fromUtf8(c.rienAConvertir));
        } else {
            dureeConversion = duree;
            if (c.reglages)
                c.reglages(cdm);
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

} // namespace korvan
