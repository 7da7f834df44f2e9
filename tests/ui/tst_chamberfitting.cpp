// "Adatta alla moto" as a tuner uses it: its fields named, captioned and in tab order, each refusal
// naming the field to mend; "Trova le curve" writing bends that bring the outlet to the point, as the
// route traces the fields, one Ctrl+Z putting back what they held; the reasons where no bends reach
// it, no field changed and the nearest outlet drawn with the point marked; and the outlet's place
// always under the preview.
#include "DialogFixture.h"
#include "model/NumberText.h"
#include "ui/ChamberPreview.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using namespace scaricometro;
using namespace Qt::StringLiterals;

namespace {

const QStringList kPointNames{u"Uscita voluta X (mm)"_s, u"Uscita voluta Y (mm)"_s, u"Uscita voluta Z (mm)"_s};
const QString kPlanName = u"Direzione voluta in pianta (gradi)"_s;
const QString kRiseName = u"Direzione voluta, inclinazione (gradi)"_s;

QString number(double value)
{
    return QString::fromStdString(formatDecimalComma(value));
}

// Every bend row's three entries, as the dialog shows them.
QStringList bendTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const ChamberSection& section : kChamberSections) {
        const QString label = fromView(section.length);
        texts << named<QLineEdit>(dialog, u"Curva %1 (gradi)"_s.arg(label))->text()
              << QString::number(named<QSpinBox>(dialog, u"Pezzi %1"_s.arg(label))->value())
              << named<QLineEdit>(dialog, u"Piano %1 (gradi)"_s.arg(label))->text();
    }
    return texts;
}

// The bends the fields hold, read as a tuner would type them back.
ChamberBends typedBends(const QWidget& dialog)
{
    ChamberBends bends{};
    const QStringList texts = bendTexts(dialog);
    for (std::size_t i = 0; i < bends.size(); ++i) {
        const auto at = static_cast<qsizetype>(3 * i);
        bends[i] = {parseDecimalComma(texts[at].toStdString()).value_or(-1), texts[at + 1].toInt(),
                    withinTurn(parseDecimalComma(texts[at + 2].toStdString()).value_or(-1))};
    }
    return bends;
}

void typeBend(const QWidget& dialog, std::size_t section, const SectionBend& bend)
{
    const QString label = fromView(kChamberSections[section].length);
    named<QLineEdit>(dialog, u"Curva %1 (gradi)"_s.arg(label))->setText(number(bend.degrees));
    named<QSpinBox>(dialog, u"Pezzi %1"_s.arg(label))->setValue(bend.pieces);
    named<QLineEdit>(dialog, u"Piano %1 (gradi)"_s.arg(label))->setText(number(bend.plane));
}

void typeTarget(const QWidget& dialog, Vector3 point, const QString& plan = {}, const QString& rise = {})
{
    const std::array values{point.x, point.y, point.z};
    for (qsizetype i = 0; i < kPointNames.size(); ++i)
        named<QLineEdit>(dialog, kPointNames[i])->setText(number(values[static_cast<std::size_t>(i)]));
    named<QLineEdit>(dialog, kPlanName)->setText(plan);
    named<QLineEdit>(dialog, kRiseName)->setText(rise);
}

void setFree(const QWidget& dialog, const QString& sections)
{
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->accessibleName().startsWith(u"Curvabile "_s))
            box->setChecked(sections.split(u',').contains(box->text()));
    }
}

ChamberDevelopment development(Form1& form)
{
    return std::get<ChamberDevelopment>(developChamber(form.chamberFigures()->chamber.dimensions(), 1));
}

QLabel* labelNamed(const QWidget& dialog, const QString& name)
{
    return named<QLabel>(dialog, name);
}

// The red note under the preview: the one word-wrapped label named for no screen reader.
QLabel* previewNote(const QWidget& dialog)
{
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->wordWrap() && label->accessibleName().isEmpty())
            return label;
    }
    return nullptr;
}

int wantedPixels(const QImage& picture)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            count += pixel.green() > pixel.red() + 60 && pixel.green() > pixel.blue() + 60 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class ChamberFittingTest : public DialogFixture {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpAll(); }
    void cleanupTestCase() { tearDownAll(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }
    void fieldsAreNamedAndInTabOrder();
    void refuses_data();
    void refuses();
    void findsWritesAndUndoes_data();
    void findsWritesAndUndoes();
    void saysWhyNoBendsReach_data();
    void saysWhyNoBendsReach();
    void dropsASearchForEntriesSinceChanged();
    void tellsWhereTheOutletIs();

private:
    // "Trova le curve" clicked, and its search waited for.
    static void find(ChamberConstructionDialog* dialog);
};

void ChamberFittingTest::find(ChamberConstructionDialog* dialog)
{
    QSignalSpy finished(dialog, &ChamberConstructionDialog::searchFinished);
    buttonCalled(*dialog, u"Trova le curve"_s)->click();
    if (dialog->isSearching())
        QVERIFY(finished.wait(20000));
}

void ChamberFittingTest::fieldsAreNamedAndInTabOrder()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    const QGroupBox* group = nullptr;
    for (const QGroupBox* box : dialog->findChildren<QGroupBox*>()) {
        if (box->title() == u"Adatta alla moto"_s)
            group = box;
    }
    QVERIFY(group);
    // From the last row of the bends, before the group, on to the box after it.
    QList<QWidget*> order{named<QSpinBox>(*dialog, u"Pezzi L6"_s)};
    const QStringList captions{u"X (mm)"_s, u"Y (mm)"_s, u"Z (mm)"_s, u"In pianta (gradi)"_s, u"Inclinazione (gradi)"_s};
    const QStringList names = kPointNames + QStringList{kPlanName, kRiseName};
    for (qsizetype i = 0; i < captions.size(); ++i) {
        auto* field = qobject_cast<QLineEdit*>(fieldCaptioned(*group, captions[i]));
        QVERIFY2(field && field->accessibleName() == names[i], qPrintable(captions[i]));
        QVERIFY(field->text().isEmpty() && !field->toolTip().isEmpty());
        order.append(field);
    }
    for (const ChamberSection& section : kChamberSections) {
        auto* box = named<QCheckBox>(*group, u"Curvabile %1 %2"_s.arg(fromView(section.length), fromView(section.name)));
        QVERIFY2(box, section.length.data());
        QCOMPARE(box->isChecked(), section.shape == SectionShape::Cone || section.length == "L1");
        order.append(box);
    }
    order.append(buttonCalled(*group, u"Trova le curve"_s));
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
        if (box->text() == u"Apri dopo il salvataggio"_s)
            order.append(box);
    }
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        order[i]->setFocus();
        QTest::keyClick(order[i], Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), order[i + 1]);
    }
}

void ChamberFittingTest::refuses_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("rise");
    QTest::addColumn<QString>("free");
    QTest::addColumn<bool>("crossedBelly");  // L4 bent by -20° in 12 pieces, which cuts cannot make
    QTest::addColumn<QString>("message");     // its beginning
    QTest::addColumn<QString>("toMend");      // the field with the focus after, if any

    const QString cones = u"L1,L2,L3,L5"_s;
    QTest::newRow("X in letters") << u"ottocento"_s << QString() << QString() << cones << false
                                  << u"Il valore di \"Uscita voluta X (mm)\" non è un numero.\nUsare solo cifre, con la "
                                     u"virgola per i decimali: per esempio 850."_s
                                  << kPointNames[0];
    QTest::newRow("X empty") << QString() << QString() << QString() << cones << false
                             << u"Il valore di \"Uscita voluta X (mm)\" non è un numero."_s << kPointNames[0];
    QTest::newRow("the plan with an exponent") << u"800"_s << u"1e1"_s << QString() << cones << false
                                               << u"Il valore di \"Direzione voluta in pianta (gradi)\" non è un numero."_s
                                               << kPlanName;
    QTest::newRow("a rise past the vertical") << u"800"_s << QString() << u"-90,5"_s << cones << false
                                              << u"\"Direzione voluta, inclinazione (gradi)\" deve essere tra -90 e 90."_s
                                              << kRiseName;
    QTest::newRow("no section free") << u"800"_s << QString() << QString() << QString() << false
                                     << u"Nessun tratto è curvabile: spuntare almeno uno tra L1 e L6 sotto \"Curvabili\"."_s
                                     << QString();
    QTest::newRow("a section kept that cannot be made") << u"800"_s << QString() << QString() << cones << true
                                                        << u"Con una curva di -20° in 12 pezzi i tagli del tratto L4"_s
                                                        << u"Curva L4 (gradi)"_s;
}

// Refused with the field to mend named and the focus in it; no bend changed.
void ChamberFittingTest::refuses()
{
    QFETCH(QString, x);
    QFETCH(QString, plan);
    QFETCH(QString, rise);
    QFETCH(QString, free);
    QFETCH(bool, crossedBelly);
    QFETCH(QString, message);
    QFETCH(QString, toMend);

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    typeTarget(*dialog, {0, 0, 0}, plan, rise);
    named<QLineEdit>(*dialog, kPointNames[0])->setText(x);
    setFree(*dialog, free);
    if (crossedBelly)
        typeBend(*dialog, 3, {-20, 12, 0});
    const QStringList before = bendTexts(*dialog);
    buttonCalled(*dialog, u"Trova le curve"_s)->click();
    QVERIFY(!dialog->isSearching());
    QMessageBox* box = shown<QMessageBox>(*dialog);
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(message), qPrintable(box->text()));
    box->accept();
    if (!toMend.isEmpty())
        QCOMPARE(dialog->focusWidget(), named<QLineEdit>(*dialog, toMend));
    QCOMPARE(bendTexts(*dialog), before);
}

void ChamberFittingTest::findsWritesAndUndoes_data()
{
    QTest::addColumn<QString>("free");
    QTest::addColumn<bool>("direction");
    QTest::addColumn<int>("typedPieces");  // in every row, before the search
    QTest::addColumn<QString>("note");     // what the note under the preview says after

    QTest::newRow("the header and the cones") << u"L1,L2,L3,L5"_s << false << 4
                                              << u"Curve trovate e scritte (Ctrl+Z le toglie)."_s;
    QTest::newRow("pointing the way the outlet did") << u"L1,L2,L3,L5"_s << true << 4
                                                     << u"Curve trovate e scritte (Ctrl+Z le toglie)."_s;
    QTest::newRow("the header alone, in more pieces") << u"L1"_s << false << 2
                                                      << u"Curve trovate e scritte (Ctrl+Z le toglie). Pezzi aumentati: "
                                                         u"L1 in 5 pezzi: in 2 non regge una curva di 150,00°."_s;
}

// The point of a chamber bent by hand, found again from other bends: the fields then trace to it,
// the sections not free as they were; one Ctrl+Z, wherever the focus, puts every row back.
void ChamberFittingTest::findsWritesAndUndoes()
{
    QFETCH(QString, free);
    QFETCH(bool, direction);
    QFETCH(int, typedPieces);
    QFETCH(QString, note);

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    ChamberBends made{};
    if (free == u"L1"_s) {
        made[0] = {150, 5, 30};
    } else {
        made = {SectionBend{-60, 6, 0}, SectionBend{}, SectionBend{30, 4, 90}, SectionBend{}, SectionBend{20, 3, 200}, SectionBend{}};
    }
    made[5] = {10, typedPieces, 45};  // L6, never free here, as typed below
    const RouteFrame wanted = ChamberRoute::trace(development(*m_form), made).outlet();
    const Heading heading = headingOf(wanted.along);
    for (std::size_t i = 0; i < kChamberSections.size(); ++i)
        typeBend(*dialog, i, {i == 5 ? 10.0 : 0.0, typedPieces, 45});
    setFree(*dialog, free);
    typeTarget(*dialog, wanted.point, direction ? number(heading.planDegrees) : QString(),
               direction ? number(heading.riseDegrees) : QString());
    const QStringList before = bendTexts(*dialog);
    find(dialog);

    QVERIFY(!shown<QMessageBox>(*dialog));
    const ChamberBends found = typedBends(*dialog);
    const ChamberRoute route = ChamberRoute::trace(development(*m_form), found);
    QVERIFY2(norm(route.outlet().point - wanted.point) <= kFitToleranceMm, qPrintable(bendTexts(*dialog).join(u' ')));
    if (direction)
        QVERIFY(angleBetween(route.outlet().along, wanted.along) * 180 / std::numbers::pi <= kFitToleranceDegrees);
    QCOMPARE(found[5].degrees, 10.0);  // L6, never free here
    QVERIFY(labelNamed(*dialog, u"Esito della ricerca delle curve"_s)->isVisibleTo(dialog));
    QCOMPARE(labelNamed(*dialog, u"Esito della ricerca delle curve"_s)->text(), note);
    QVERIFY2(labelNamed(*dialog, u"Dove va l'uscita"_s)->text().startsWith(
                 u"Uscita: X %1, Y %2, Z %3 mm"_s.arg(twoDecimals(wanted.point.x), twoDecimals(wanted.point.y),
                                                      twoDecimals(wanted.point.z))),
             qPrintable(labelNamed(*dialog, u"Dove va l'uscita"_s)->text()));

    QLineEdit* somewhere = named<QLineEdit>(*dialog, u"Curva L3 (gradi)"_s);
    somewhere->setFocus();
    QTest::keyClick(somewhere, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bendTexts(*dialog), before);
    QVERIFY(!labelNamed(*dialog, u"Esito della ricerca delle curve"_s)->isVisibleTo(dialog));
    // Nothing more to put back: the field's own undo has nothing either.
    QTest::keyClick(somewhere, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bendTexts(*dialog), before);
}

void ChamberFittingTest::saysWhyNoBendsReach_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("free");
    QTest::addColumn<QString>("why");  // its beginning

    QTest::newRow("further than the chamber") << 2000.0 << QString() << u"L1,L2,L3,L5"_s
                                              << u"Il punto voluto è a 2000,00 mm dall'ingresso, più lontano di quanto "
                                                 u"arrivi la camera: curvando L1, L2, L3 e L5 l'uscita arriva al più a "_s;
    QTest::newRow("behind the inlet, the tailpipe alone") << -100.0 << QString() << u"L6"_s
                                                          << u"Il punto voluto è a 100,00 mm dall'ingresso: curvando L6 la "
                                                             u"camera non si piega tanto da portarci l'uscita"_s;
    QTest::newRow("the straight outlet turned sideways") << 0.0 << u"90"_s << u"L1,L2"_s
                                                         << u"L'uscita può arrivare nel punto voluto, ma curvando L1 e L2 non "
                                                            u"può puntare a 90,00° in pianta: la più vicina trovata punta a "_s;
}

// The reason under the preview, no field changed, the nearest outlet drawn with the point marked.
void ChamberFittingTest::saysWhyNoBendsReach()
{
    QFETCH(double, x);
    QFETCH(QString, plan);
    QFETCH(QString, free);
    QFETCH(QString, why);

    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    const Vector3 straight = ChamberRoute::trace(development(*m_form), {}).outlet().point;
    typeTarget(*dialog, {x == 0 ? straight.x : x, 0, 0}, plan);
    setFree(*dialog, free);
    const QStringList before = bendTexts(*dialog);
    find(dialog);
    QCOMPARE(bendTexts(*dialog), before);
    QLabel* note = previewNote(*dialog);
    QVERIFY(note && note->isVisibleTo(dialog));
    QVERIFY2(note->text().startsWith(why), qPrintable(note->text()));
    QVERIFY(!labelNamed(*dialog, u"Esito della ricerca delle curve"_s)->isVisibleTo(dialog));
    dialog->resize(dialog->sizeHint());
    const QImage picture = dialog->findChild<ChamberPreview*>()->grab().toImage();
    picture.save(QDir::current().absoluteFilePath(u"nearest-"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') + u".png"_s));
    QVERIFY2(wantedPixels(picture) > 20, "the wanted point is marked");
    // An edit draws the chamber typed again, and the note goes.
    named<QLineEdit>(*dialog, u"Curva L2 (gradi)"_s)->setText(u"0,0"_s);
    QVERIFY(!note->isVisibleTo(dialog));
}

// Edited while it searched, the dialog drops what the search found for the entries before.
void ChamberFittingTest::dropsASearchForEntriesSinceChanged()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    typeTarget(*dialog, {700, -150, -120});
    QSignalSpy finished(dialog, &ChamberConstructionDialog::searchFinished);
    buttonCalled(*dialog, u"Trova le curve"_s)->click();
    QVERIFY(dialog->isSearching());
    QVERIFY(!buttonCalled(*dialog, u"Trova le curve"_s)->isEnabled());
    named<QLineEdit>(*dialog, u"Curva L6 (gradi)"_s)->setText(u"5"_s);
    const QStringList typed = bendTexts(*dialog);
    QVERIFY(finished.wait(20000));
    QCOMPARE(bendTexts(*dialog), typed);
    QVERIFY(buttonCalled(*dialog, u"Trova le curve"_s)->isEnabled());
}

// Under the preview, whatever is typed, where the outlet is and which way it points, as the data
// sheet words it; the point marked in the views once it can be read, and only then.
void ChamberFittingTest::tellsWhereTheOutletIs()
{
    ChamberConstructionDialog* dialog = openDialog();
    QVERIFY(dialog);
    dialog->resize(dialog->sizeHint());
    typeBend(*dialog, 2, {30, 4, 90});
    const RouteFrame outlet = ChamberRoute::trace(development(*m_form), typedBends(*dialog)).outlet();
    const Heading heading = headingOf(outlet.along);
    QCOMPARE(labelNamed(*dialog, u"Dove va l'uscita"_s)->text(),
             u"Uscita: X %1, Y %2, Z %3 mm; in pianta %4°, inclinazione %5°"_s.arg(
                 twoDecimals(outlet.point.x), twoDecimals(outlet.point.y), twoDecimals(outlet.point.z),
                 twoDecimals(heading.planDegrees), twoDecimals(heading.riseDegrees)));
    auto* preview = dialog->findChild<ChamberPreview*>();
    QCOMPARE(wantedPixels(preview->grab().toImage()), 0);
    typeTarget(*dialog, {600, 100, -200});
    QVERIFY(wantedPixels(preview->grab().toImage()) > 20);
    named<QLineEdit>(*dialog, kPointNames[1])->setText(u"cento"_s);
    QCOMPARE(wantedPixels(preview->grab().toImage()), 0);
}

QTEST_MAIN(ChamberFittingTest)
#include "tst_chamberfitting.moc"
