// The duct's solver against answers known exactly: Sod's shock tube and the exact Riemann
// solution, with the error's order as the cells halve; a closed duct with cones keeping its mass
// and energy; a weak pulse's round trip in an open pipe; still gas staying still.
#include "PipeRuns.h"

#include <QTest>

#include <cmath>

using namespace scaricometro::waves;

namespace {

// Toro's exact solution of the Riemann problem for an ideal gas, sampled at x/t.
class ExactRiemann {
public:
    ExactRiemann(Primitive left, Primitive right)
        : m_left(left)
        , m_right(right)
    {
        double p = 0.5 * (left.pressure + right.pressure);
        for (int i = 0; i < 100; ++i) {
            const auto [fl, dl] = pressureFunction(p, left);
            const auto [fr, dr] = pressureFunction(p, right);
            const double next = std::max(1e-12, p - (fl + fr + right.velocity - left.velocity) / (dl + dr));
            if (std::abs(next - p) < 1e-15 * p)
                break;
            p = next;
        }
        m_pStar = p;
        m_uStar = 0.5 * (left.velocity + right.velocity)
            + 0.5 * (pressureFunction(p, right).first - pressureFunction(p, left).first);
    }

    [[nodiscard]] Primitive at(double speed) const
    {
        const bool leftOfContact = speed < m_uStar;
        const Primitive& k = leftOfContact ? m_left : m_right;
        const double sign = leftOfContact ? -1 : 1;  // the direction the outer wave runs
        const double c = k.soundSpeed();
        const double g = (kGamma - 1) / (kGamma + 1);
        if (m_pStar > k.pressure) {  // shock
            const double shock = k.velocity + sign * c * std::sqrt((kGamma + 1) / (2 * kGamma) * m_pStar / k.pressure
                                                                   + (kGamma - 1) / (2 * kGamma));
            if (sign * (speed - shock) >= 0)
                return k;
            const double ratio = m_pStar / k.pressure;
            return {k.density * (ratio + g) / (g * ratio + 1), m_uStar, m_pStar};
        }
        const double head = k.velocity + sign * c;
        const double cStar = c * std::pow(m_pStar / k.pressure, (kGamma - 1) / (2 * kGamma));
        const double tail = m_uStar + sign * cStar;
        if (sign * (speed - head) >= 0)
            return k;
        if (sign * (speed - tail) <= 0)
            return {k.density * std::pow(m_pStar / k.pressure, 1 / kGamma), m_uStar, m_pStar};
        // Inside the fan.
        const double cFan = 2 / (kGamma + 1) * (c - sign * (kGamma - 1) / 2 * (k.velocity - speed));
        const double u = 2 / (kGamma + 1) * (-sign * c + (kGamma - 1) / 2 * k.velocity + speed);
        const double density = k.density * std::pow(cFan / c, 2 / (kGamma - 1));
        return {density, u, k.pressure * std::pow(cFan / c, 2 * kGamma / (kGamma - 1))};
    }

private:
    static std::pair<double, double> pressureFunction(double p, const Primitive& k)
    {
        const double c = k.soundSpeed();
        if (p > k.pressure) {
            const double a = 2 / ((kGamma + 1) * k.density);
            const double b = (kGamma - 1) / (kGamma + 1) * k.pressure;
            const double root = std::sqrt(a / (p + b));
            return {(p - k.pressure) * root, root * (1 - 0.5 * (p - k.pressure) / (b + p))};
        }
        const double ratio = p / k.pressure;
        return {2 * c / (kGamma - 1) * (std::pow(ratio, (kGamma - 1) / (2 * kGamma)) - 1),
                1 / (k.density * c) * std::pow(ratio, -(kGamma + 1) / (2 * kGamma))};
    }

    Primitive m_left;
    Primitive m_right;
    double m_pStar = 0;
    double m_uStar = 0;
};

struct SodErrors {
    double density = 0;
    double pressure = 0;
};

// L1 errors of the density and the pressure over the tube, per metre of tube.
SodErrors sodErrors(std::size_t cells, const Primitive& left, const Primitive& right, double time)
{
    const double lengthMm = 1000;
    const Duct duct = straightDuct(lengthMm, 50);
    PipeFlow flow(duct, cells, left);
    for (std::size_t i = cells / 2; i < cells; ++i)
        flow.setCell(i, right);
    WallEnd inlet, outlet;
    runUntil(flow, time, inlet, outlet);
    const ExactRiemann exact(left, right);
    SodErrors errors;
    for (std::size_t i = 0; i < cells; ++i) {
        const double x = (flow.cellCentreMm(i) - lengthMm / 2) / 1000;
        const Primitive expected = exact.at(x / time);
        errors.density += std::abs(flow.cell(i).density - expected.density) / static_cast<double>(cells);
        errors.pressure += std::abs(flow.cell(i).pressure - expected.pressure) / static_cast<double>(cells);
    }
    return errors;
}

}  // namespace

class PipeFlowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void riemannProblemsConvergeToTheExactSolution_data();
    void riemannProblemsConvergeToTheExactSolution();
    void closedDuctWithConesKeepsMassAndEnergy();
    void weakPulseReturnsFromTheOpenEndAfterTwoLengthsOverSoundSpeed();
    void stillGasStaysStill_data();
    void stillGasStaysStill();
    void nozzleMassFlowMatchesTheIsentropicFormulas_data();
    void nozzleMassFlowMatchesTheIsentropicFormulas();
    void openEndPassesWhatItsRegimeGives_data();
    void openEndPassesWhatItsRegimeGives();
};

void PipeFlowTest::riemannProblemsConvergeToTheExactSolution_data()
{
    QTest::addColumn<Primitive>("left");
    QTest::addColumn<Primitive>("right");
    QTest::addColumn<double>("time");
    QTest::addColumn<double>("densityErrorAt400");
    QTest::newRow("Sod") << Primitive{1, 0, 1} << Primitive{0.125, 0, 0.1} << 0.2 << 0.006;
    // The gas of a chamber: a blowdown's pressure step into still, hot gas.
    QTest::newRow("blowdown") << Primitive{1.5, 0, 3e5} << Primitive{0.55, 0, 1e5} << 0.0004 << 0.02;
    QTest::newRow("strong shock") << Primitive{1, 0, 10} << Primitive{0.125, 0, 0.1} << 0.1 << 0.02;
}

void PipeFlowTest::riemannProblemsConvergeToTheExactSolution()
{
    QFETCH(Primitive, left);
    QFETCH(Primitive, right);
    QFETCH(double, time);
    QFETCH(double, densityErrorAt400);
    const SodErrors coarse = sodErrors(100, left, right, time);
    const SodErrors middle = sodErrors(200, left, right, time);
    const SodErrors fine = sodErrors(400, left, right, time);
    const double densityOrder = std::log2(middle.density / fine.density);
    const double pressureOrder = std::log2(middle.pressure / fine.pressure);
    qInfo("L1 error of density %.3e, %.3e, %.3e (order %.2f); of pressure %.3e, %.3e, %.3e (order %.2f)",
          coarse.density, middle.density, fine.density, densityOrder, coarse.pressure, middle.pressure, fine.pressure,
          pressureOrder);
    QVERIFY(fine.density < middle.density && middle.density < coarse.density);
    QVERIFY(fine.pressure < middle.pressure && middle.pressure < coarse.pressure);
    // Discontinuities hold a scheme of second order to about first; a contact to less.
    QVERIFY2(densityOrder > 0.6, qPrintable(QString::number(densityOrder)));
    QVERIFY2(pressureOrder > 0.8, qPrintable(QString::number(pressureOrder)));
    QVERIFY2(fine.density < densityErrorAt400 * std::abs(left.density - right.density) + 1e-3 * left.density,
             qPrintable(QString::number(fine.density)));
}

void PipeFlowTest::closedDuctWithConesKeepsMassAndEnergy()
{
    const Duct duct = ductOf({{0, 0, 100, 30, 30}, {0, 0, 200, 30, 48}, {0, 0, 150, 48, 110},
                              {0, 0, 60, 110, 110}, {0, 0, 170, 110, 19}, {0, 0, 250, 19, 19}});
    PipeFlow flow(duct, duct.cellCount(), {0.55, 0, 101325});
    // A strong pulse near the closed port, bound to reach every cone and both ends.
    for (std::size_t i = 0; i < 20; ++i)
        flow.setCell(i, {1.6, 150, 4e5});
    const double mass = flow.totalMass();
    const double energy = flow.totalEnergy();
    WallEnd inlet, outlet;
    int steps = 0;
    runUntil(flow, 0.01, inlet, outlet, [&](double) { ++steps; });
    QVERIFY(steps > 1000);
    QCOMPARE_LE(std::abs(flow.totalMass() - mass), 1e-13 * mass);
    QCOMPARE_LE(std::abs(flow.totalEnergy() - energy), 1e-13 * energy);
}

void PipeFlowTest::weakPulseReturnsFromTheOpenEndAfterTwoLengthsOverSoundSpeed()
{
    const double lengthMm = 1000;
    const double soundSpeed = 510;
    const double temperature = temperatureForSoundSpeed(soundSpeed);
    const double density = kAtmosphere / (kGasConstant * temperature);
    const Duct duct = straightDuct(lengthMm, 30);
    PipeFlow flow(duct, 800, {density, 0, kAtmosphere});
    // A 1 % isentropic hump against the closed end: half runs off at once, half after its
    // reflection, together one pulse that leaves the end at time 0.
    for (std::size_t i = 0; i < 8; ++i) {
        const double rise = 0.01 * std::cos(M_PI / 2 * flow.cellCentreMm(i) / 10);
        flow.setCell(i, {density * std::pow(1 + rise, 1 / kGamma), 0, kAtmosphere * (1 + rise)});
    }
    WallEnd inlet;
    OpenEnd outlet(kAtmosphere, temperature);
    const double roundTrip = 2 * lengthMm / 1000 / soundSpeed;
    double lowest = kAtmosphere;
    double lowestAt = 0;
    runUntil(flow, 1.3 * roundTrip, inlet, outlet, {}, [&](double now) {
        if (flow.pressure(0) < lowest) {
            lowest = flow.pressure(0);
            lowestAt = now;
        }
    });
    qInfo("the reflected pulse reaches the port after %.4f ms, 2L/V being %.4f ms", lowestAt * 1e3, roundTrip * 1e3);
    // The open end sends the pulse back as suction.
    QVERIFY(lowest < kAtmosphere * (1 - 0.003));
    QCOMPARE_LE(std::abs(lowestAt - roundTrip), 0.005 * roundTrip);
}

void PipeFlowTest::stillGasStaysStill_data()
{
    QTest::addColumn<bool>("openOutlet");
    QTest::newRow("closed") << false;
    QTest::newRow("open to the atmosphere") << true;
}

void PipeFlowTest::stillGasStaysStill()
{
    QFETCH(bool, openOutlet);
    const Duct duct = ductOf({{0, 0, 55, 29, 29}, {0, 0, 203, 29, 46.4}, {0, 0, 167.55, 46.4, 108.5},
                              {0, 0, 19.55, 108.5, 108.5}, {0, 0, 173.34, 108.5, 18.85}, {0, 0, 245.05, 18.85, 18.85}});
    const double temperature = temperatureForSoundSpeed(510);
    PipeFlow flow(duct, duct.cellCount(), stillGas(kAtmosphere, temperature));
    WallEnd inlet, closed;
    OpenEnd open(kAtmosphere, temperature);
    for (int step = 0; step < 5000; ++step)
        QVERIFY(!flow.step(flow.stableStep(0.8), inlet, openOutlet ? static_cast<DuctEnd&>(open) : closed));
    for (std::size_t i = 0; i < flow.cellCount(); ++i) {
        QCOMPARE_LE(std::abs(flow.cell(i).velocity), 1e-9);
        QCOMPARE_LE(std::abs(flow.pressure(i) - kAtmosphere), 1e-9 * kAtmosphere);
    }
}

void PipeFlowTest::nozzleMassFlowMatchesTheIsentropicFormulas_data()
{
    QTest::addColumn<double>("upstream");
    QTest::addColumn<double>("temperature");
    QTest::addColumn<double>("downstream");
    QTest::newRow("choked blowdown") << 5e5 << 1100.0 << 1e5;
    QTest::newRow("just choked") << 2e5 << 900.0 << 2e5 * 0.5282;
    QTest::newRow("just subsonic") << 2e5 << 900.0 << 2e5 * 0.5284;
    QTest::newRow("subsonic") << 1.5e5 << 650.0 << 1.2e5;
    QTest::newRow("nearly balanced") << 1.0001e5 << 650.0 << 1e5;
    QTest::newRow("backwards") << 1e5 << 650.0 << 1.2e5;
}

// The flow through a throat worked out from its Mach number, sonic where the pressures allow.
void PipeFlowTest::nozzleMassFlowMatchesTheIsentropicFormulas()
{
    QFETCH(double, upstream);
    QFETCH(double, temperature);
    QFETCH(double, downstream);
    const double area = 4e-4;
    double expected = 0;
    if (downstream < upstream) {
        const double ratio = downstream / upstream;
        const double mach = std::min(1.0, std::sqrt(2 / (kGamma - 1) * (std::pow(ratio, -(kGamma - 1) / kGamma) - 1)));
        const double throatTemperature = temperature / (1 + (kGamma - 1) / 2 * mach * mach);
        const double throatPressure = upstream * std::pow(throatTemperature / temperature, kGamma / (kGamma - 1));
        expected = throatPressure / (kGasConstant * throatTemperature) * mach
            * std::sqrt(kGamma * kGasConstant * throatTemperature) * area;
    }
    const double flow = nozzleMassFlow(upstream, temperature, downstream, area);
    QCOMPARE_LE(std::abs(flow - expected), 1e-12 + 1e-9 * expected);
    QCOMPARE(criticalPressureRatio() > 0.5282 && criticalPressureRatio() < 0.5284, true);
}

void PipeFlowTest::openEndPassesWhatItsRegimeGives_data()
{
    QTest::addColumn<Side>("side");
    QTest::addColumn<double>("velocity");  // along the duct, m/s
    QTest::addColumn<double>("soundSpeed");
    QTest::addColumn<double>("pressure");
    // Per m² of face, along the duct: kg/s, N, W. Worked out by hand from temperatures: leaving,
    // T_b = T·(p0/p)^((γ−1)/γ) and u_b = u + 5(c − c_b); choked, u_b = c_b = (u + 5c)/6 and
    // ρ_b = ρ·(T_b/T)^2.5; drawn in, u_b + 5c_b = u + 5c with c_b² = c0² − 0,2·u_b², found by
    // bisection, and p_b = p0·(T_b/T0)^3.5; the gas outside at rest at 1 atm and 647,4 K.
    QTest::addColumn<double>("mass");
    QTest::addColumn<double>("momentum");
    QTest::addColumn<double>("energy");
    QTest::newRow("leaving below the speed of sound") << Side::Outlet << 80.0 << 560.0 << 1.3e5 << 86.42363289730226
                                                      << 116702.10276979253 << 64467608.471624374;
    // Inside, 200 m/s against 600 m/s of sound: subsonic, but at 2,5 bar the stream chokes on its way out.
    QTest::newRow("leaving choked") << Side::Outlet << 200.0 << 600.0 << 2.5e5 << 287.74094082566734
                                    << 263077.43161203875 << 245538936.17123622;
    QTest::newRow("leaving choked through the port's face") << Side::Inlet << -200.0 << 600.0 << 2.5e5
                                                            << -287.74094082566734 << 263077.43161203875
                                                            << -245538936.17123622;
    QTest::newRow("leaving faster than sound already") << Side::Outlet << 700.0 << 600.0 << 2.5e5
                                                       << 680.5555555555555 << 726388.8888888889 << 779236111.1111112;
    QTest::newRow("drawing air in") << Side::Outlet << -60.0 << 500.0 << 0.8e5 << -53.572363250725765
                                    << 103981.41975239127 << -34835429.20378444;
}

void PipeFlowTest::openEndPassesWhatItsRegimeGives()
{
    QFETCH(Side, side);
    QFETCH(double, velocity);
    QFETCH(double, soundSpeed);
    QFETCH(double, pressure);
    QFETCH(double, mass);
    QFETCH(double, momentum);
    QFETCH(double, energy);
    EndFace end;
    end.side = side;
    end.face = {kGamma * pressure / (soundSpeed * soundSpeed), velocity, pressure};
    end.cell = end.face;
    end.area = 1;
    OpenEnd open(kAtmosphere, temperatureForSoundSpeed(510));
    const std::optional<Flux> flux = open.flux(end);
    QVERIFY(flux);
    QCOMPARE_LE(std::abs(flux->mass - mass), 1e-9 * std::abs(mass));
    QCOMPARE_LE(std::abs(flux->momentum - momentum), 1e-9 * momentum);
    QCOMPARE_LE(std::abs(flux->energy - energy), 1e-9 * std::abs(energy));
}

QTEST_APPLESS_MAIN(PipeFlowTest)
#include "tst_pipeflow.moc"
