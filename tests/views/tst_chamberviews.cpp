// The views' scales: the standard ones a drawing is made at, and the one that fills a preview.
#include "views/ChamberViews.h"

#include <QTest>

using namespace scaricometro;

Q_DECLARE_METATYPE(ChamberBends)

class ChamberViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void standardScales_data();
    void standardScales();
    void fillsTheRoomItIsGiven_data();
    void fillsTheRoomItIsGiven();
};

void ChamberViewsTest::standardScales_data()
{
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("diameter");
    QTest::addColumn<double>("scale");

    QTest::newRow("fits as it is") << 150.0 << 40.0 << 1.0;
    QTest::newRow("just over") << 190.5 << 40.0 << 2.0;
    QTest::newRow("default chamber") << 852.6 << 108.5 << 5.0;
    QTest::newRow("too tall for 1:10") << 900.0 << 700.0 << 20.0;
    QTest::newRow("ten metres") << 10000.0 << 300.0 << 100.0;
}

void ChamberViewsTest::standardScales()
{
    QFETCH(double, length);
    QFETCH(double, diameter);
    QFETCH(double, scale);
    QCOMPARE(standardScale({length, diameter}, {190, 60}), scale);
}

void ChamberViewsTest::fillsTheRoomItIsGiven_data()
{
    QTest::addColumn<ChamberBends>("bends");
    QTest::addColumn<QSizeF>("room");

    ChamberBends wound{};
    wound[0] = {-60, 6, 0};
    wound[2] = {30, 4, 90};
    QTest::newRow("straight, in a wide preview") << ChamberBends{} << QSizeF(137, 113);
    QTest::newRow("wound, in a wide preview") << wound << QSizeF(137, 113);
    QTest::newRow("wound, in a tall one") << wound << QSizeF(60, 200);
}

// At the scale that fits, the views fill the room one way and keep within it the other; at the
// largest standard scale they keep within it too.
void ChamberViewsTest::fillsTheRoomItIsGiven()
{
    QFETCH(ChamberBends, bends);
    QFETCH(QSizeF, room);
    const ChamberDimensions dimensions = std::get<ChamberDimensions>(computeChamber({203, 510, 12000, 39.3, 29}));
    const auto development = std::get<ChamberDevelopment>(developChamber(dimensions, 1));
    const ChamberViews views(ChamberRoute::trace(development, bends), bends);
    const QSizeF fitted = views.sizeAt(views.fittingScaleIn(room));
    QVERIFY(fitted.width() <= room.width() + 1e-9 && fitted.height() <= room.height() + 1e-9);
    QVERIFY(std::abs(fitted.width() - room.width()) <= 1e-9 || std::abs(fitted.height() - room.height()) <= 1e-9);
    const double standard = views.standardScaleIn(room);
    QVERIFY(standard >= views.fittingScaleIn(room));
    const QSizeF drawn = views.sizeAt(standard);
    QVERIFY(drawn.width() <= room.width() && drawn.height() <= room.height());
}

QTEST_MAIN(ChamberViewsTest)
#include "tst_chamberviews.moc"
