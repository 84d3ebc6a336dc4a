#pragma once
// What the options and the about panels share: the title over their pages,
// the close button under them, and the width the window takes while one of
// them lies over it.
#include <QFrame>

class QLabel;
class QPushButton;
class QTabWidget;

namespace korvan {

class TPanneauFenetre : public QFrame {
    Q_OBJECT
public:
    // Wide enough for the panels' longest lines (the system report's, the folder boxes).
    static constexpr int kLargeur = 600;

    // "Korvan 5.3.6 Fr".
    static QString texteTitre();

    QLabel* labTitre = nullptr;
    QTabWidget* pages = nullptr;
    QPushButton* btnFermer = nullptr;

signals:
    void fermer();

protected:
    // The derived panel adds its pages to pages.
    TPanneauFenetre(const QString& nom, QWidget* parent);
};

} // namespace korvan
