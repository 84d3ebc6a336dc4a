#include "ui/codecformunit.h"

#include <QLineEdit>

namespace korvan {

TCodecForm::TCodecForm(QWidget* parent)
    : FormeChoix({QStringLiteral("Corriger le codec vidéo"),
                     {QStringLiteral("Indiquez le codec souhaité")},
                     QStringLiteral("rgCodec"),
                     {QStringLiteral("dvsd (Microsoft)"), QStringLiteral("dsvd"), QStringLiteral("CDVC (Canopus)"),
                      QStringLiteral("personnalisé")},
                     QStringLiteral("Codec personnalisé"),
                     QStringLiteral("(4 caractères)"),
                     {},
                     {},
                     {}},
                    parent)
{
    setObjectName(QStringLiteral("CodecForm"));
}

bool TCodecForm::lireValeur()
{
    const std::optional<QString> codec = CodecDuChoix(choixCourant(), le->text());
    if (codec)
        codec_ = *codec;
    return codec.has_value();
}

} // namespace korvan
