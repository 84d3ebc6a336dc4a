#include "ui/incrustation_fenetre.h"

#include "ui/AfficherBase.h"
#include "ui/main.h"

#include <QAction>
#include <QStyle>

namespace korvan {

IncrustationFenetre::IncrustationFenetre(TUIForm& fenetre) : QObject(&fenetre), fenetre_(fenetre) {}

ISuperposerParam3* IncrustationFenetre::superposer()
{
    return fenetre_.apercu().superposer();
}

IDatecoderConfig* IncrustationFenetre::datecoder()
{
    return fenetre_.apercu().datecoder();
}

void IncrustationFenetre::RafraichirApercu()
{
    fenetre_.apercu().RafraichirApercu();
}

int IncrustationFenetre::curseurHorizontal() const
{
    return fenetre_.panneau()->incrustHorz->value();
}

int IncrustationFenetre::curseurVertical() const
{
    return fenetre_.panneau()->incrustVert->value();
}

void IncrustationFenetre::montrerCurseurs(bool visibles)
{
    fenetre_.panneau()->incrustHorz->setVisible(visibles);
    fenetre_.panneau()->incrustVert->setVisible(visibles);
}

void IncrustationFenetre::legendeAction(const QString& action, const QString& caption, int image)
{
    fenetre_.legendeAction(action, caption, image);
}

void IncrustationFenetre::executerAction(const QString& action)
{
    if (QAction* q = fenetre_.action(action))
        q->trigger();
}

QIcon IconeImage(const QStyle& style, int image)
{
    switch (image) {
    case 18:
        return style.standardIcon(QStyle::SP_FileDialogInfoView);
    case 21:
        return style.standardIcon(QStyle::SP_DialogCloseButton);
    default:
        return {};
    }
}

} // namespace korvan
