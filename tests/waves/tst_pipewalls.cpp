// The pipe's wall against answers worked out by hand: still gas at the wall's temperature stays
// still and keeps it; still gas hotter than the wall cools as the laminar law says, integrated
// finely with the viscosity following the temperature; slow gas slows at the laminar rate 32μ/(ρD²);
// steady flow through a long pipe loses pressure at 2·C_f·ρu²/D; a closed duct with cones keeps
// its mass, and its energy changes by the heat the wall gives, worked out here from the same laws
// written again. The laws are written out in each test from their textbook forms.
#include "PipeRuns.h"

#include <QTest>

#include <cmath>
#include <numbers>

using namespace scaricometro::waves;

namespace {

constexpr double kPrandtl = 0.7;
constexpr double kHeatAtConstantVolume = kGasConstant / (kGamma - 1);

// Sutherland's law for air.
double viscosity(double temperature)
{
    return 1.458e-6 * std::pow(temperature, 1.5) / (temperature + 110.4);
}

// The wall's heat transfer coefficient (W/(m²·K)) and shear stress (Pa, along u) for gas in a pipe
// of diameter `d`: Blasius's C_f in turbulent flow, 16/Re in laminar flow, Colburn's analogy.
struct Wall {
    double heat;
    double shear;
};

Wall wallOf(const Primitive& gas, double d)
{
    const double mu = viscosity(gas.temperature());
    const double cp = kGamma * kGasConstant / (kGamma - 1);
    const double reynolds = gas.density * std::abs(gas.velocity) * d / mu;
    if (reynolds < std::pow(16 / 0.0791, 4.0 / 3.0))
        return {8 * mu * cp * std::pow(kPrandtl, -2.0 / 3.0) / d, 8 * mu * gas.velocity / d};
    const double cf = 0.0791 / std::pow(reynolds, 0.25);
    return {cf / 2 * gas.density * std::abs(gas.velocity) * cp * std::pow(kPrandtl, -2.0 / 3.0),
            cf * gas.density * gas.velocity * std::abs(gas.velocity) / 2};
}

}  // namespace

class PipeWallsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stillGasAtTheWallsTemperatureStaysStill();
    void stillGasCoolsAsTheLaminarLawSays();
    void slowGasSlowsAtTheLaminarRate();
    void steadyFlowLosesPressureAsFanningSays();
    void closedDuctKeepsItsMassAndGainsTheWallsHeat();
};

void PipeWallsTest::stillGasAtTheWallsTemperatureStaysStill()
{
    const Duct duct = ductOf({{0, 0, 55, 29, 29}, {0, 0, 203, 29, 46.4}, {0, 0, 167.55, 46.4, 108.5},
                              {0, 0, 19.55, 108.5, 108.5}, {0, 0, 173.34, 108.5, 18.85}, {0, 0, 245.05, 18.85, 18.85}});
    const double wall = temperatureForSoundSpeed(510);
    PipeFlow flow(duct, duct.cellCount(), stillGas(kAtmosphere, wall));
    flow.setWallTemperature(wall);
    WallEnd inlet, outlet;
    for (int step = 0; step < 5000; ++step)
        QVERIFY(!flow.step(flow.stableStep(0.8), inlet, outlet));
    for (std::size_t i = 0; i < flow.cellCount(); ++i) {
        QCOMPARE_LE(std::abs(flow.cell(i).velocity), 1e-9);
        QCOMPARE_LE(std::abs(flow.cell(i).temperature() - wall), 1e-12 * wall);
    }
}

// At constant volume, ρ·c_v·dT/dt = 4h(T)·(T_w − T)/D with h = 8μ(T)·c_p·Pr^(−2/3)/D, integrated by
// Runge-Kutta in microsecond steps.
void PipeWallsTest::stillGasCoolsAsTheLaminarLawSays()
{
    constexpr double diameter = 0.010;  // m
    constexpr double wall = 600;
    constexpr double start = 900;
    constexpr double time = 0.020;
    const Primitive gas = stillGas(kAtmosphere, start);
    PipeFlow flow(straightDuct(200, diameter * 1000), 40, gas);
    flow.setWallTemperature(wall);
    WallEnd inlet, outlet;
    runUntil(flow, time, inlet, outlet);

    const double cp = kGamma * kGasConstant / (kGamma - 1);
    const auto rate = [&](double t) {
        const double h = 8 * viscosity(t) * cp * std::pow(kPrandtl, -2.0 / 3.0) / diameter;
        return 4 * h * (wall - t) / (gas.density * diameter * kHeatAtConstantVolume);
    };
    double expected = start;
    constexpr int steps = 20000;
    const double dt = time / steps;
    for (int i = 0; i < steps; ++i) {
        const double k1 = rate(expected);
        const double k2 = rate(expected + dt / 2 * k1);
        const double k3 = rate(expected + dt / 2 * k2);
        const double k4 = rate(expected + dt * k3);
        expected += dt / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    const double got = flow.cell(20).temperature();
    qInfo("after %.0f ms: %.3f K, the law %.3f K", time * 1e3, got, expected);
    QVERIFY(expected < 750);  // most of the way to the wall's
    QCOMPARE_LE(std::abs(got - expected), 1e-3 * (start - expected));
}

// Set moving in a long closed pipe, the gas in its middle slows as du/dt = −32μu/(ρD²) until the
// waves from the closed ends reach it.
void PipeWallsTest::slowGasSlowsAtTheLaminarRate()
{
    constexpr double diameter = 0.005;
    constexpr double wall = 600;
    constexpr double time = 0.002;
    Primitive gas = stillGas(kAtmosphere, wall);
    gas.velocity = 0.5;
    PipeFlow flow(straightDuct(4000, diameter * 1000), 800, gas);
    flow.setWallTemperature(wall);
    WallEnd inlet, outlet;
    runUntil(flow, time, inlet, outlet);
    const double rate = 32 * viscosity(wall) / (gas.density * diameter * diameter);
    const double got = -std::log(flow.cell(400).velocity / gas.velocity) / time;
    qInfo("slowing at %.3f per second, the law %.3f", got, rate);
    QCOMPARE_LE(std::abs(got - rate), 0.01 * rate);
}

// Drawn from still air at 1,02 bar at one end and open to the atmosphere at the other, the flow
// settles; along its middle, dp/dx = −2·C_f·ρu²/D.
void PipeWallsTest::steadyFlowLosesPressureAsFanningSays()
{
    constexpr double diameter = 0.020;
    constexpr double wall = 600;
    const Duct duct = straightDuct(2000, diameter * 1000);
    PipeFlow flow(duct, duct.cellCount(), stillGas(kAtmosphere, wall));
    flow.setWallTemperature(wall);
    OpenEnd inlet(1.02 * kAtmosphere, wall);
    OpenEnd outlet(kAtmosphere, wall);
    runUntil(flow, 0.3, inlet, outlet);
    const std::size_t middle = flow.cellCount() / 2;
    constexpr std::size_t apart = 40;
    const double dx = 2 * apart * flow.cellLengthMm() / 1000;
    const double gradient = (flow.pressure(middle + apart) - flow.pressure(middle - apart)) / dx;
    const Primitive gas = flow.cell(middle);
    const double fanning = -4 * wallOf(gas, diameter).shear / diameter;
    qInfo("at %.1f m/s (Reynolds %.0f): dp/dx %.2f Pa/m, the law %.2f Pa/m", gas.velocity,
          gas.density * gas.velocity * diameter / viscosity(gas.temperature()), gradient, fanning);
    QVERIFY(gas.velocity > 20);
    QCOMPARE_LE(std::abs(gradient - fanning), 0.02 * std::abs(fanning));
}

void PipeWallsTest::closedDuctKeepsItsMassAndGainsTheWallsHeat()
{
    const Duct duct = ductOf({{0, 0, 100, 30, 30}, {0, 0, 200, 30, 48}, {0, 0, 150, 48, 110},
                              {0, 0, 60, 110, 110}, {0, 0, 170, 110, 19}, {0, 0, 250, 19, 19}});
    PipeFlow flow(duct, duct.cellCount(), stillGas(kAtmosphere, 800));
    // A strong pulse near the closed port, bound to reach every cone and both ends.
    for (std::size_t i = 0; i < 20; ++i)
        flow.setCell(i, {1.6, 150, 4e5});
    constexpr double wall = 600;
    flow.setWallTemperature(wall);
    const double mass = flow.totalMass();
    const double energy = flow.totalEnergy();
    double heat = 0;
    WallEnd inlet, outlet;
    runUntil(flow, 0.01, inlet, outlet, [&](double dt) {
        for (std::size_t i = 0; i < flow.cellCount(); ++i) {
            const double d = duct.diameterMm(flow.cellCentreMm(i)) / 1000;
            const Primitive gas = flow.cell(i);
            heat += dt * wallOf(gas, d).heat * (wall - gas.temperature()) * std::numbers::pi * d * flow.cellLengthMm() / 1000;
        }
    });
    qInfo("the wall took %.3f J of %.3f", -heat, energy);
    QVERIFY(heat < -0.01 * energy);
    QCOMPARE_LE(std::abs(flow.totalMass() - mass), 1e-13 * mass);
    QCOMPARE_LE(std::abs(flow.totalEnergy() - energy - heat), 1e-9 * std::abs(heat));
}

QTEST_APPLESS_MAIN(PipeWallsTest)
#include "tst_pipewalls.moc"
