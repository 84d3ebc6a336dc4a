#pragma once
// The shape both header-fix dialogs share: a text, a radio group whose last
// item is "personnalisé", an edit for that item with its label and unit, OK
// and "Annuler". The edit is enabled exactly while the last item is chosen,
// and takes the focus whenever it is enabled in the active dialog. The
// dialog keeps its choice and its text between uses.
#include "commands/commandes_entetes.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QGroupBox;

namespace korvan {

class DialogueChoix : public QDialog {
    Q_OBJECT
public:
    struct Textes {
        QString caption;
        QStringList lignes;
        QString nomGroupe; // object name of the radio group (rgFreq, rgCodec)
        QStringList items;
        QString libelleEdition;
        QString unite;
        QString hintEdition;
        QString hintOk;
        QString hintAnnuler;
    };

    DialogueChoix(const Textes& textes, QWidget* parent);

    // The chosen item, -1 while none ever was.
    int choixCourant() const;
    void choisirItem(int item);
    void definirTexteEdition(const QString& texte);
    // Shows the dialog modally: true when closed with OK and its value read.
    bool executerModal();

    QGroupBox* groupe = nullptr;
    QButtonGroup* rg = nullptr;
    QLineEdit* le = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* annuler = nullptr;

protected:
    // OK: reads the dialog's value; false when it cannot be read (the dialog
    // closes all the same and nothing is written).
    virtual bool lireValeur() = 0;
    void changeEvent(QEvent* e) override;

private:
    void itemChoisi();
    bool accepte_ = false;
};

// The dialog behind the interface its command reads.
template <class Interface>
class FormeChoix : public DialogueChoix, public Interface {
public:
    using DialogueChoix::DialogueChoix;
    int choix() const override { return choixCourant(); }
    void choisir(int item) override { choisirItem(item); }
    void definirTexte(const QString& texte) override { definirTexteEdition(texte); }
    bool executer() override { return executerModal(); }
};

} // namespace korvan
