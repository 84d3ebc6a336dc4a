#pragma once
// The placeholder shown instead of the info panel while the list is empty:
// how to bring files in, and where the options and the help are.
#include <QStringList>
#include <QTextBrowser>

namespace korvan {

class TVideFrame : public QTextBrowser {
    Q_OBJECT
public:
    explicit TVideFrame(QWidget* parent = nullptr);

    // The paragraphs, in order.
    static QStringList paragraphes();
    // Fills the text; the window shows the panel.
    void AfficherVide();
};

} // namespace korvan
