#include "commands/commande_date_fichier.h"

#include "analysis/chemins.h"
#include "analysis/format_date.h"
#include "commands/noms_fichiers.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace korvan {

int DefinirDateModification(const QString& chemin, const QDateTime& moment)
{
    if (!moment.isValid())
        return EINVAL;
    const qint64 ms = moment.toMSecsSinceEpoch();
    struct timespec temps[2];
    temps[0].tv_sec = 0;
    temps[0].tv_nsec = UTIME_OMIT; // access time
    temps[1].tv_sec = time_t(ms / 1000);
    temps[1].tv_nsec = long(ms % 1000) * 1000000L;
    if (temps[1].tv_nsec < 0) { // before 1970
        temps[1].tv_sec -= 1;
        temps[1].tv_nsec += 1000000000L;
    }
    return ::utimensat(AT_FDCWD, CheminLocal(chemin).c_str(), temps, 0) == 0 ? 0 : errno;
}

void FileDateConfirmation(TParam&, const TAfficherFichier* fichier, QString& confirmMsg)
{
    const QString generique = QStringLiteral("Voulez-vous vraiment modifier les dates de ce fichier?");
    try {
        if (!fichier) {
            confirmMsg = generique;
            return;
        }
        const QString format = QStringLiteral("ddddd hh:nn:ss");
        const QString dates = QStringLiteral("\r\n\r\nDate de création actuelle: ") +
                              FormatDateTime(format, fichier->dateCreation) +
                              QStringLiteral("\r\nDate de modification actuelle:  ") +
                              FormatDateTime(format, fichier->dateModification) +
                              QStringLiteral("\r\nNouvelle date : ") + FormatDateTime(format, fichier->datecode);
        confirmMsg = QuestionCourte(
            {QStringLiteral("Voulez-vous vraiment modifier les dates du fichier '") + fichier->nom + u'\'' + dates,
             generique + dates});
    } catch (...) {
        confirmMsg = generique;
    }
}

void FileDateExecution(const ServicesCommandes& services, TParam&, const TAfficherFichier* fichier,
                       QString& newfichier, TchUpdateType& update)
{
    try {
        if (!fichier)
            return;
        const QDateTime moment = QDateTimeDepuisDateTime(fichier->datecode);
        if (!moment.isValid())
            return;
        int erreur = 0;
        {
            const ApercuLibere libere(services.apercu);
            erreur = DefinirDateModification(fichier->chemin, moment);
        }
        if (erreur)
            services.signalerErreur(
                TexteEchec(QStringLiteral("Impossible de modifier la date du fichier ") + fichier->chemin, erreur));
        newfichier = fichier->chemin;
        update = utModify;
    } catch (...) {
        update = utNone;
    }
}

} // namespace korvan
