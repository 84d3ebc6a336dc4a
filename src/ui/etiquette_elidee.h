#pragma once
// A label for texts of any length (file names, folder paths in the status
// bar): it shows what fits, with "…" in the middle, and never asks its window
// for more room. text() stays the whole text.
#include <QLabel>

namespace korvan {

class EtiquetteElidee : public QLabel {
public:
    explicit EtiquetteElidee(QWidget* parent = nullptr);
    explicit EtiquetteElidee(const QString& texte, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    // The text as painted in the current width.
    QString texteAffiche() const;

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace korvan
