#include "commands/commandes_renommer.h"

#include "analysis/chemins.h"
#include "analysis/format_date.h"
#include "analysis/format_texte.h"
#include "commands/noms_fichiers.h"
#include "platform/preferences.h"

#include <cerrno>

namespace korvan {

namespace {

const QString kAvi = QStringLiteral(".avi");

bool texteConnu(const QString& texte)
{
    return texte != u"N/A" && texte != u"Erreur";
}

// A question built by f; should building it fail, the generic wording is
// asked rather than an empty text, which would treat the file unasked.
template <typename F>
void construireQuestion(QString& confirmMsg, const QString& generique, F&& f)
{
    try {
        confirmMsg = f();
    } catch (...) {
        confirmMsg = generique;
    }
}

// The question of a rename: with the current and the new name, with the new
// name only, or the generic wording, the first that fits a short string.
template <typename Nouveau>
void questionRenommer(QString& confirmMsg, const TAfficherFichier* fichier, const QString& generique,
                      const char* avecLesDeux, const char* avecLeNouveau, Nouveau&& nouveau, bool cheminComplet = false)
{
    construireQuestion(confirmMsg, generique, [&] {
        if (!fichier)
            return generique;
        const QString n = nouveau(*fichier);
        return QuestionCourte({Format(avecLesDeux, cheminComplet ? fichier->chemin : fichier->nom, n),
                               Format(avecLeNouveau, n), generique});
    });
}

void signalerEchecRenommer(const ServicesCommandes& services, const QString& source, const QString& cible, int erreur)
{
    services.signalerErreur(
        TexteEchec(QStringLiteral("Impossible de renommer ") + source + QStringLiteral(" en ") + NomDeFichier(cible), erreur));
}

template <typename F>
void executer(TchUpdateType& update, F&& f)
{
    try {
        update = f();
    } catch (...) {
        update = utNone;
    }
}

} // namespace

QString NouvelleBaseAjouterDateCode(const TAfficherFichier& fichier)
{
    return NomLibre(BaseDeChemin(fichier.chemin) + u'_' + DatecodePourNom(fichier.datecode));
}

QString NouvelleBaseAjouterTimecode(const TAfficherFichier& fichier)
{
    return NomLibre(BaseDeChemin(fichier.chemin) + u'_' + fichier.texteTimecode);
}

QString NouvelleBasePurgerNom(const TAfficherFichier& fichier)
{
    return NomLibre(NomRaccourci(BaseDeChemin(fichier.chemin)));
}

QString NouvelleBaseRenameScAn(const TAfficherFichier& fichier)
{
    return NomLibre(DossierDeChemin(fichier.chemin) + prefRacineRenommer +
                    FormatDateTime(prefFormatRenommer, fichier.datecode));
}

TchUpdateType RenommerClip(const ServicesCommandes& services, const TAfficherFichier& fichier,
                           const QString& nouvelleBase, QString& newfichier)
{
    newfichier = nouvelleBase + kAvi;
    if (const int erreur = services.renommerFichier(fichier.chemin, newfichier)) {
        signalerEchecRenommer(services, fichier.chemin, newfichier, erreur);
        return utNone;
    }
    const QString scene = BaseDeChemin(fichier.chemin) + QStringLiteral(".scn");
    const QString nouvelleScene = nouvelleBase + QStringLiteral(".scn");
    if (FichierExiste(scene))
        if (const int erreur = services.renommerFichier(scene, nouvelleScene))
            signalerEchecRenommer(services, scene, nouvelleScene, erreur);
    return utRename;
}

void AjouterDateCodeFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && texteConnu(fichier->texteDatecode);
}

void AjouterDateCodeConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    questionRenommer(confirmMsg, fichier, QStringLiteral("Voulez-vous ajouter son datecode à ce fichier?"),
                     "Voulez-vous ajouter un datecode au fichier '%s'\r\net le renommer en '%s'?",
                     "Voulez-vous ajouter un datecode à ce fichier et le renommer en\r\n'%s'?",
                     [](const TAfficherFichier& f) { return NomDeFichier(NouvelleBaseAjouterDateCode(f) + kAvi); });
}

void AjouterDateCodeExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                              QString& newfichier, TchUpdateType& update)
{
    executer(update, [&] {
        return fichier ? RenommerClip(services, *fichier, NouvelleBaseAjouterDateCode(*fichier), newfichier)
                       : utNone;
    });
}

void AjouterTimecodeFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && texteConnu(fichier->texteTimecode);
}

void AjouterTimecodeConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    questionRenommer(confirmMsg, fichier, QStringLiteral("Voulez-vous vraiment ajouter son timecode à ce fichier?"),
                     "Voulez-vous vraiment ajouter son timecode au fichier '%s'\r\net le renommer en '%s'?",
                     "Voulez-vous vraiment ajouter son timecode à ce fichier \r\net le renommer en '%s'?",
                     [](const TAfficherFichier& f) { return NouvelleBaseAjouterTimecode(f) + kAvi; }, true);
}

void AjouterTimecodeExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                              QString& newfichier, TchUpdateType& update)
{
    executer(update, [&] {
        return fichier ? RenommerClip(services, *fichier, NouvelleBaseAjouterTimecode(*fichier), newfichier)
                       : utNone;
    });
}

void PurgerNomFileCondition(TParam&, const TAfficherFichier* fichier, bool& visible, bool& enabled)
{
    visible = enabled = fichier && EstRaccourcissable(BaseDeChemin(fichier->chemin));
}

void PurgerNomConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    questionRenommer(confirmMsg, fichier, QStringLiteral("Voulez-vous raccourcir le nom de ce fichier?"),
                     "Voulez-vous raccourcir le nom du fichier '%s'\r\net le renommer en '%s'?",
                     "Voulez-vous raccourcir le nom de ce fichier et le renommer en\r\n'%s'?",
                     [](const TAfficherFichier& f) { return NomDeFichier(NouvelleBasePurgerNom(f) + kAvi); });
}

void PurgerNomExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                        QString& newfichier, TchUpdateType& update)
{
    executer(update, [&] {
        // Without a suffix to take off, the "free name" would be the file's own name plus a counter.
        if (!fichier || !EstRaccourcissable(BaseDeChemin(fichier->chemin)))
            return utNone;
        return RenommerClip(services, *fichier, NouvelleBasePurgerNom(*fichier), newfichier);
    });
}

void RenameScAnConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    questionRenommer(confirmMsg, fichier, QStringLiteral("Voulez-vous renommer ce fichier à la manière de Scenalyser?"),
                     "Voulez-vous renommer le fichier '%s' en '%s'?", "Voulez-vous renommer ce fichier en '%s'?",
                     [](const TAfficherFichier& f) { return NomDeFichier(NouvelleBaseRenameScAn(f) + kAvi); });
}

void RenameScAnExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                         QString& newfichier, TchUpdateType& update)
{
    executer(update, [&]() -> TchUpdateType {
        if (!fichier)
            return utNone;
        const QString base = NouvelleBaseRenameScAn(*fichier);
        // The root and the date format are used as typed. A "/" in them would
        // not be a bad character here but a folder step, moving the clip into
        // another folder; such a name fails as a bad name would.
        const QString nom = base.mid(DossierDeChemin(fichier->chemin).size());
        if (nom.contains(u'/') || nom.contains(QChar(0))) {
            newfichier = base + kAvi;
            signalerEchecRenommer(services, fichier->chemin, newfichier, EINVAL);
            return utNone;
        }
        return RenommerClip(services, *fichier, base, newfichier);
    });
}

} // namespace korvan
