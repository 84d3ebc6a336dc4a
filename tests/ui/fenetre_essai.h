#pragma once
// The real main window in a session of its own: HOME and the XDG folders in
// a temporary folder (settings, playlists, plug-ins, Send To entry never
// reach the real user's), the window assembled as the program does, files
// dropped on it as a file manager does.
#include "platform/preferences.h"
#include "support/fixtures.h"
#include "ui/assemblage_fenetre.h"
#include "ui/main.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace korvan::test {

class FenetreEssai : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (home_.path() + "/data").toUtf8());
    }
    void TearDown() override { fenetre.reset(); }

    // The window shown, its first showing done; nothing saved at its end.
    void ouvrirFenetre(const QStringList& arguments = {})
    {
        fenetre = AssemblerFenetre(arguments);
        fenetre->show();
        QApplication::processEvents();
        prefSauverPrefsEnQuittant = false;
        prefSauverListeEnQuittant = false;
    }
    // The drag enters the window, then drops.
    void deposer(const QStringList& chemins)
    {
        QMimeData donnees;
        QList<QUrl> urls;
        for (const QString& c : chemins)
            urls << QUrl::fromLocalFile(c);
        donnees.setUrls(urls);
        QDragEnterEvent entree(QPoint(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(fenetre.get(), &entree);
        ASSERT_TRUE(entree.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(fenetre.get(), &drop);
    }
    // Events until the condition holds (the preview and conversions work on threads of their own).
    static bool attendre(const std::function<bool()>& condition, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!condition() && t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        return condition();
    }
    static QString fixtureQ(const char* nom) { return QString::fromStdString(fixture(nom)); }

    QTemporaryDir home_;
    std::unique_ptr<TUIForm> fenetre;
};

} // namespace korvan::test
