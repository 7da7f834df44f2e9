// What the tests of the construction dialog stand on: the window shown afresh for each test, the
// dialog opened from it with Ctrl+P, Qt's own file dialogs (which a test can fill in, also where
// the platform has its own), and the desktop's viewer replaced by a record of what it was asked
// to open.
#pragma once

#include "WidgetFinders.h"
#include "ui/ChamberConstructionDialog.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include <memory>

namespace scaricometro {

class DialogFixture : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void recordOpened(const QUrl& url) { m_opened.append(url); }

protected:
    void setUpAll()
    {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "recordOpened");
    }
    static void tearDownAll() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void setUp()
    {
        m_form = std::make_unique<Form1>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_opened.clear();
    }
    void tearDown() { m_form.reset(); }
    [[nodiscard]] ChamberConstructionDialog* openDialog() const
    {
        QTest::keyClick(m_form->focusWidget(), Qt::Key_P, Qt::ControlModifier);
        return shown<ChamberConstructionDialog>(*m_form);
    }

    std::unique_ptr<Form1> m_form;
    QList<QUrl> m_opened;
};

}  // namespace scaricometro
