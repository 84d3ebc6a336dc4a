// Korvan start-up: the application object, then the main window, which
// handles the command line when it is first shown (hidden mode) or at its
// first paint (window mode).
#include "integration/arguments_switches.h"
#include "integration/options_programme.h"
#include "ui/assemblage_fenetre.h"
#include "ui/main.h"

#include <QApplication>
#include <cstdio>

namespace {

QtMessageHandler gestionnaireQt = nullptr;

// The offscreen platform says, for every window shown, that it cannot do what
// only a screen needs, and Qt Multimedia that there is no sound server (a
// batch run plays nothing); in a batch run that is noise around the real messages.
void sansBruitHorsEcran(QtMsgType type, const QMessageLogContext& contexte, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (message.startsWith(QLatin1String("PulseAudioService:")) || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (gestionnaireQt)
        gestionnaireQt(type, contexte, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, contexte, message)));
}

} // namespace

int main(int argc, char** argv)
{
    QStringList brut;
    for (int i = 1; i < argc; ++i)
        brut << QString::fromLocal8Bit(argv[i]);
    // Answered before any Qt platform is needed, so they work without a display.
    if (const auto reponse = korvan::ReponseOptionProgramme(brut)) {
        std::fputs(reponse->toUtf8().constData(), stdout);
        return 0;
    }
    // Hidden mode shows nothing, so it must not need a display: the offscreen
    // platform lets it run over ssh, from cron or in a container.
    const bool cache = korvan::ModeCacheDemande(brut);
    if (cache) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        gestionnaireQt = qInstallMessageHandler(sansBruitHorsEcran);
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brannoc"));
    QApplication::setApplicationName(QStringLiteral("Korvan"));
    // No display name: Qt would append " — Korvan" to every title, and the
    // window's ("Korvan de Brannoc") and the boxes' ("Erreur") are complete.

    const std::unique_ptr<korvan::TUIForm> fenetre = korvan::AssemblerFenetre(QApplication::arguments().mid(1));
    fenetre->show();
    const korvan::PieceLigneCommande& ligne = *fenetre->pieces().ligneCommande;
    if (cache) {
        // The whole run happened while the window was being shown, and it
        // closed; leaving here destroys it, which saves the settings and the
        // default playlist as they say. Without a display nobody could close
        // a window left open, so a run that did not happen ends the program too.
        switch (ligne.issue().value_or(korvan::IssueDemarrage::SansArguments)) {
        case korvan::IssueDemarrage::CacheeTerminee:
            return 0;
        case korvan::IssueDemarrage::CacheeAvecEchecs:
            return 1; // each failure has had its line on the error output
        default:
            std::fprintf(stderr, "korvan: la ligne de commande n'a pas pu être exécutée\n");
            return 1;
        }
    }
    const int code = QApplication::exec();
    return code != 0 ? code : ligne.echecs() ? 1 : 0;
}
