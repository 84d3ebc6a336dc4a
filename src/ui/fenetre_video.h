#pragma once
// The preview window: draws the preview's pictures over its whole area (the
// panel gives it the picture's proportions), black when there is none. It
// can go full screen on its own and come back; Esc leaves full screen.
#include "pipelines/viewgraph.h"

#include <QImage>
#include <QWidget>

namespace korvan {

class FenetreVideo : public QWidget, public IRenduVideo {
    Q_OBJECT
public:
    explicit FenetreVideo(QWidget* parent = nullptr);

    void afficherImage(const QImage& image) override;
    void effacerImage() override;
    const QImage& imageAffichee() const { return image_; }
    int imagesAffichees() const { return imagesAffichees_; }

    bool pleinEcran() const { return pleinEcran_; }
    void basculerPleinEcran();

signals:
    // A left click at that point of an area of that size (the screen in full screen).
    void clicGauche(QPoint point, QSize zone);
    void pleinEcranChange(bool pleinEcran);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QImage image_;
    int imagesAffichees_ = 0;
    bool pleinEcran_ = false;
    QWidget* parentAvant_ = nullptr;
    QRect placeAvant_;
};

} // namespace korvan
