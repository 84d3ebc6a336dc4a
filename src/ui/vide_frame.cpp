#include "ui/vide_frame.h"

namespace korvan {

TVideFrame::TVideFrame(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("VideFrame"));
    setReadOnly(true);
    setOpenLinks(false);
    setFrameShape(QFrame::NoFrame);
    document()->setDocumentMargin(16);
    // Files dropped here go to the window, which adds them.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    // The window's context menu, not the text's (copy, select all).
    setContextMenuPolicy(Qt::ActionsContextMenu);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(11);
    setFont(f);
}

QStringList TVideFrame::paragraphes()
{
    return {
        QStringLiteral("Glissez par drag & drop un ou plusieurs fichiers sur cette fenêtre."),
        QStringLiteral("Vous pouvez aussi ouvrir ou coller des fichiers par la barre d'outils, "),
        QStringLiteral("On peut ouvrir tous les fichiers avi du système par Ctrl+F7."),
        QStringLiteral("Seuls les fichiers *.avi seront traités, les autres seront ignorés."),
        QStringLiteral("Tapez F10 pour modifier les Options, F1 pour l'Aide. ")
            + QStringLiteral("La liste des commandes disponibles avec leurs raccourcis clavier est dans le panneau des Options (F10)."),
    };
}

void TVideFrame::AfficherVide()
{
    const QString texte = paragraphes().join(QStringLiteral("\n\n"));
    if (toPlainText() != texte)
        setPlainText(texte);
}

} // namespace korvan
