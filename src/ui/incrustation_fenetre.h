#pragma once
// The window's side of the overlay toggles: the preview's components, the
// panel's sliders, the actions' captions and images.
#include "commands/bascules_incrustation.h"

#include <QIcon>
#include <QObject>

class QStyle;

namespace korvan {

class TUIForm;

class IncrustationFenetre : public QObject, public IncrustationApercu {
    Q_OBJECT
public:
    explicit IncrustationFenetre(TUIForm& fenetre);

    ISuperposerParam3* superposer() override;
    IDatecoderConfig* datecoder() override;
    void RafraichirApercu() override;
    int curseurHorizontal() const override;
    int curseurVertical() const override;
    void montrerCurseurs(bool visibles) override;
    void legendeAction(const QString& action, const QString& caption, int image) override;
    void executerAction(const QString& action) override;

private:
    TUIForm& fenetre_;
};

// The icon the window shows for an action's image number (18: the datecode
// can be shown, 21: it can be hidden); a null icon for the others.
QIcon IconeImage(const QStyle& style, int image);

} // namespace korvan
