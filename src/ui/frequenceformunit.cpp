#include "ui/frequenceformunit.h"

#include <QLineEdit>

namespace korvan {

TFrequenceForm::TFrequenceForm(QWidget* parent)
    : FormeChoix({QStringLiteral("Corriger la fréquence vidéo"),
                     {QStringLiteral("Indiquez la bonne fréquence vidéo en images/sec."),
                      QStringLiteral("La fréquence audio sera inchangée.")},
                     QStringLiteral("rgFreq"),
                     {QStringLiteral("25 images/sec (Pal)"), QStringLiteral("29,97 images/sec (NTSC)"),
                      QStringLiteral("personnalisé")},
                     QStringLiteral("Fréquence personnalisée"),
                     QStringLiteral("images/sec"),
                     QStringLiteral("Indiquez la fréquence par un nombre décimal\r\n"
                                    "(noté avec une virgule pour un système français)."),
                     QStringLiteral("Valider les changements de framerate effectués."),
                     QStringLiteral("Abandonner la commande \"Corriger le framerate\" \r\nsans effectuer de modification.")},
                    parent)
{
    setObjectName(QStringLiteral("FrequenceForm"));
}

bool TFrequenceForm::lireValeur()
{
    const std::optional<double> fps = FrequenceDuChoix(choixCourant(), le->text());
    if (fps)
        frequence_ = *fps;
    return fps.has_value();
}

} // namespace korvan
