#include "commands/commandes_entetes.h"

#include "analysis/chemins.h"
#include "analysis/format_texte.h"
#include "analysis/fpsunit.h"
#include "analysis/texte_court.h"
#include "commands/chmodule.h"

#include <cmath>

namespace korvan {

namespace {

// For the life of the object the file is writable when the entry saw it
// read-only; then the entry's attributes are put back, also when the write
// failed in between.
class EcritureAutorisee {
public:
    EcritureAutorisee(const QString& chemin, uint32_t attributs)
        : chemin_(chemin), attributs_(attributs), leve_((attributs & faReadOnly) != 0)
    {
        if (leve_)
            DefinirAttributsFichier(chemin_, attributs_ & ~uint32_t(faReadOnly));
    }
    ~EcritureAutorisee()
    {
        if (leve_)
            DefinirAttributsFichier(chemin_, attributs_);
    }
    EcritureAutorisee(const EcritureAutorisee&) = delete;
    EcritureAutorisee& operator=(const EcritureAutorisee&) = delete;

private:
    QString chemin_;
    uint32_t attributs_;
    bool leve_;
};

// Asked for read-only files only: the path, then on the next line the question.
QString QuestionLectureSeule(const TAfficherFichier* fichier, const QString& question)
{
    if (!fichier || !(fichier->attributs & faReadOnly))
        return {};
    return ChaineCourte(QStringLiteral("Le fichier ") + fichier->chemin + QStringLiteral("\r\n") + question);
}

// The nearest 64-bit float to 29.97, as the dialog's NTSC item gives it.
constexpr double kFrequenceNtsc = 29.97;

} // namespace

std::optional<double> FrequenceDuChoix(int item, const QString& texte, const ReglagesFormat& reglages)
{
    std::optional<double> fps;
    switch (item) {
    case cfPal:
        fps = 25.0;
        break;
    case cfNtsc:
        fps = kFrequenceNtsc;
        break;
    case cfPersonnalisee:
        fps = StrToFloat(texte, reglages);
        break;
    default:
        return std::nullopt;
    }
    if (fps && !EchellePourFrequence(*fps))
        return std::nullopt;
    return fps;
}

std::optional<QString> CodecDuChoix(int item, const QString& texte)
{
    switch (item) {
    case ccDvsd:
        return QStringLiteral("dvsd");
    case ccDsvd:
        return QStringLiteral("dsvd");
    case ccCdvc:
        return QStringLiteral("CDVC");
    case ccPersonnalise:
        return texte.left(4);
    default:
        return std::nullopt;
    }
}

int ChoixFrequenceInitial(double fps)
{
    if (fps == 25)
        return cfPal;
    if (std::fabs(fps * 1001 - 30000) < 1)
        return cfNtsc;
    return cfPersonnalisee;
}

int ChoixCodecInitial(const std::string& codec)
{
    if (codec == "dvsd")
        return ccDvsd;
    if (codec == "dsvd")
        return ccDsvd;
    if (codec == "CDVC")
        return ccCdvc;
    return ccPersonnalise;
}

void CorrigerFpsFileCondition(TParam&, const TAfficherFichier* fichier, bool&, bool& enabled)
{
    // A type 1 clip's frame rate is that of its DV frames: nothing to correct.
    enabled = fichier && fichier->typeDV != 1;
}

void CorrigerFpsConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmMsg = QuestionLectureSeule(fichier, QStringLiteral(" est en Lecture seule. Voulez-vous vraiment corriger son framerate?"));
}

void CorrigerFpsExecution(const ServicesCommandes& services, IFrequenceForm& dialogue, TParam&,
                          const TAfficherFichier* fichier, QString&, TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    if (dialogue.choix() < 0)
        dialogue.choisir(ChoixFrequenceInitial(fichier->fps));
    if (!dialogue.executer())
        return;
    const double fps = dialogue.frequenceChoisie();
    // The next use shows the rate written when "personnalisé" is chosen.
    dialogue.definirTexte(FloatToStr(fps));
    // The entry is read again even when the write fails: it then shows the
    // rate the file really has.
    update = utModify;
    const ApercuLibere libere(services.apercu);
    try {
        const EcritureAutorisee ecriture(fichier->chemin, fichier->attributs);
        EcrireFrequence(CheminLocal(fichier->chemin), fps);
    } catch (...) {
        // A locked file, or one without video stream header, stays as it was.
    }
}

void CorrigerCodecConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    confirmMsg = QuestionLectureSeule(fichier, QStringLiteral("Voulez-vous vraiment corriger son codec?"));
}

void CorrigerCodecExecution(const ServicesCommandes& services, ICodecForm& dialogue, TParam&,
                            const TAfficherFichier* fichier, QString&, TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    if (dialogue.choix() < 0) {
        const int item = ChoixCodecInitial(fichier->codec);
        dialogue.choisir(item);
        if (item == ccPersonnalise)
            dialogue.definirTexte(fichier->texteCodec());
    }
    if (!dialogue.executer())
        return;
    // The code's bytes are the characters in order, missing ones zero.
    const QByteArray octets = dialogue.codecChoisi().left(4).toLatin1();
    const uint32_t code = CodeDepuisTexte(std::string_view(octets.constData(), size_t(octets.size())));
    const ApercuLibere libere(services.apercu);
    try {
        const EcritureAutorisee ecriture(fichier->chemin, fichier->attributs);
        if (EcrireCodec(CheminLocal(fichier->chemin), code))
            update = utModify;
    } catch (...) {
    }
}

void RiffHeaderExecution(const ServicesCommandes& services, IRiffForm& fenetre, TParam&,
                         const TAfficherFichier* fichier, QString&, TchUpdateType& update)
{
    update = utNone;
    if (!fichier)
        return;
    try {
        fenetre.AfficherRapportRiff(fichier->chemin);
    } catch (...) {
        if (services.boite) {
            try {
                services.boite->montrer(GenreMessage::Avertissement,
                                        Format("Le fichier %s est inaccessible. Il est sans doute utilisé par un autre "
                                               "processus. Veuillez patienter",
                                               fichier->chemin),
                                        BoutonsMessage::OK);
            } catch (...) {
            }
        }
        fenetre.fermer();
    }
}

void InstallerCorrectionsEntetes(Tch& module, IFrequenceForm& frequence, ICodecForm& codec)
{
    module.CorrigerFps.OnFileCondition = CorrigerFpsFileCondition;
    module.CorrigerFps.OnConfirmation = CorrigerFpsConfirmation;
    module.CorrigerFps.OnExecution = [&module, &frequence](TParam& p, const TAfficherFichier* f, QString& n,
                                                           TchUpdateType& u) {
        CorrigerFpsExecution(module.services, frequence, p, f, n, u);
    };
    module.CorrigerCodec.OnConfirmation = CorrigerCodecConfirmation;
    module.CorrigerCodec.OnExecution = [&module, &codec](TParam& p, const TAfficherFichier* f, QString& n,
                                                         TchUpdateType& u) {
        CorrigerCodecExecution(module.services, codec, p, f, n, u);
    };
}

void InstallerRapportRiff(Tch& module, IRiffForm& fenetre)
{
    module.RiffHeader.OnExecution = [&module, &fenetre](TParam& p, const TAfficherFichier* f, QString& n,
                                                        TchUpdateType& u) {
        RiffHeaderExecution(module.services, fenetre, p, f, n, u);
    };
}

} // namespace korvan
