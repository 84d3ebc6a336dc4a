#pragma once
// The left panel of the main window: the facts of the current entry with
// their copy menu, the text area shown instead of the video, the gauge of
// the running command. The preview itself joins it later.
#include "analysis/aviFichier.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTextBrowser>

namespace korvan {

class TBaseFrame : public QFrame {
    Q_OBJECT
public:
    explicit TBaseFrame(QWidget* parent = nullptr);

    void TextesPanneau();
    void AfficherInfos(const TAfficherFichier& entree);
    void ViderInfos();
    void ecrireOurs();
    // The reason the video cannot be shown (0 to 5).
    void AfficherCode(int raison);

    // Texts of the copy menu items, in the menu's order.
    QString texteACopier(int item) const;
    static QStringList itemsCopie();

    QFrame* Panel1 = nullptr;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QLabel *labDatecode, *LabTimecode, *LabCodec, *LabImage, *LabDuree, *labFPS, *LabAudio1, *LabAudio2;
    QLabel* LabNom = nullptr;
    QLabel* labscn = nullptr;
    QTextBrowser* reBaseFrame = nullptr;
    QProgressBar* Gauge1 = nullptr;

signals:
    void nomClique();
    void copier(const QString& texte);

private:
    QString cheminCourant_;
    void menuCopie(const QPoint& ou);
};

} // namespace korvan
