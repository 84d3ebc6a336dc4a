#pragma once
// The font dialog of the overlay: scalable fonts only, with the effects
// (colour, underline, strike-out) beside the face, style and size.
#include "platform/police_incrust.h"

#include <QDialog>
#include <optional>

class QFontDialog;
class QPushButton;

namespace korvan {

class DialoguePolice : public QDialog {
    Q_OBJECT
public:
    explicit DialoguePolice(const PoliceIncrust& police, QWidget* parent = nullptr);

    PoliceIncrust police() const;
    void definirPolice(const PoliceIncrust& police);
    void definirCouleur(const QColor& couleur);

    // The font chosen, or none when the dialog was cancelled.
    static std::optional<PoliceIncrust> choisir(const PoliceIncrust& police, QWidget* parent);

private:
    void montrerCouleur();

    QFontDialog* polices_ = nullptr;
    QPushButton* couleur_ = nullptr;
    QColor choisie_;
    QString nomDemande_;
    QString remplacante_; // the face shown for a missing one
};

} // namespace korvan
