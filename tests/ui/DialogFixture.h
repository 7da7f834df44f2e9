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
#include <QLineEdit>
#include <QTest>
#include <QUrl>

#include <array>
#include <memory>
#include <utility>

namespace scaricometro {

// A small engine's short chamber at a moderate speed, typed into the window's fields: its waves'
// band runs in a few seconds.
inline constexpr std::array<std::pair<QStringView, QStringView>, 3> kFastFigures{
    {{u"Text3", u"8000"}, {u"Text4", u"20"}, {u"Text15", u"12"}}};
// Long enough for any analysis of those figures, under the sanitizers and under Wine.
inline constexpr int kAnalysisMs = 120000;

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
    void typeFastFigures() const
    {
        for (const auto& [field, text] : kFastFigures)
            m_form->textField(field)->setText(text.toString());
    }
    [[nodiscard]] ChamberConstructionDialog* openDialog() const
    {
        QTest::keyClick(m_form->focusWidget(), Qt::Key_P, Qt::ControlModifier);
        return shown<ChamberConstructionDialog>(*m_form);
    }

    std::unique_ptr<Form1> m_form;
    QList<QUrl> m_opened;
};

}  // namespace scaricometro
