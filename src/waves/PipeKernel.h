// The solver's loops over the duct's cells and faces, which take nearly all of its time, compiled
// for each instruction set the program can use and chosen on the processor it runs on: packs of two
// doubles (SSE2, on every x86-64 processor) or of four (AVX2). Both do the same operations lane by
// lane, so they give the same results.
#pragma once

#include <cstddef>
#include <string_view>

namespace scaricometro::waves {

enum class VectorWidth { Sse2, Avx2 };

// Whether this build has the loops for `width` and the processor runs them.
[[nodiscard]] bool processorRuns(VectorWidth width);
// The widest the processor runs, unless the environment's SCARICOMETRO_VECTORS asks for "sse2";
// worked out once, at the first call.
[[nodiscard]] VectorWidth defaultVectorWidth();
[[nodiscard]] std::string_view nameOf(VectorWidth width);

// The duct's state and scratch, one value a cell, or a face (cells + 1) where said.
struct PipeArrays {
    std::size_t cells = 0;
    double cellLength = 0;  // m
    const double* volume = nullptr;
    const double* inverseVolume = nullptr;
    const double* faceArea = nullptr;   // faces
    const double* areaStep = nullptr;   // the cell's right face's area less its left's
    const double* areaShare = nullptr;  // the same over the cell's volume: (1/A)·dA/dx
    // Per unit of volume, now and after the step.
    double* mass = nullptr;
    double* momentum = nullptr;
    double* energy = nullptr;
    double* nextMass = nullptr;
    double* nextMomentum = nullptr;
    double* nextEnergy = nullptr;
    // The primitives, with the inverse density and the sound speed.
    double* rho = nullptr;
    double* inverseRho = nullptr;
    double* u = nullptr;
    double* p = nullptr;
    double* c = nullptr;
    // The primitives' limited differences across each cell and its state half a step on.
    double* dRho = nullptr;
    double* dU = nullptr;
    double* dP = nullptr;
    double* halfRho = nullptr;
    double* halfU = nullptr;
    double* halfP = nullptr;
    // Faces: what crosses them, times their area.
    double* fluxMass = nullptr;
    double* fluxMomentum = nullptr;
    double* fluxEnergy = nullptr;
    // The wall, where the gas exchanges momentum and heat with it: each cell's inner diameter at
    // its centre (m) and its wall's area over its volume, πDΔx/V (1/m); the wall's temperature (K),
    // 0 where the wall takes and gives nothing.
    const double* wallDiameter = nullptr;
    const double* inverseWallDiameter = nullptr;
    const double* wallShare = nullptr;
    double wallTemperature = 0;
    double criticalReynolds = 0;
    double colburnFactor = 0;  // c_p·Pr^(−2/3)
    double rootTemperaturePerSoundSpeed = 0;  // 1/√(γR)
};

struct PrimitivesSurvey {
    double fastestSignal = 0;  // the largest |u| + c
    bool positive = false;     // every density and pressure above zero
    double mass = 0;             // kg, in the whole duct
    double massTemperature = 0;  // kg·K: the gas's mass times its temperature, Σ p·V / R
};

struct PipeKernel {
    // The primitives from the state per unit of volume.
    PrimitivesSurvey (*primitives)(const PipeArrays& arrays);
    // Hancock's predictor: the limited differences and the half-step state of every cell.
    void (*predict)(const PipeArrays& arrays, double dt);
    // The fluxes through the faces between cells (not the two ends').
    void (*innerFluxes)(const PipeArrays& arrays);
    // The next state from the state, the fluxes and the walls' push, then the wall's drag and heat
    // from the state at the step's start; and the next state's primitives (which the step no longer
    // reads by then).
    PrimitivesSurvey (*advance)(const PipeArrays& arrays, double dt);
};

// The loops for `width`, which processorRuns() must allow.
[[nodiscard]] const PipeKernel& pipeKernel(VectorWidth width);

}  // namespace scaricometro::waves
