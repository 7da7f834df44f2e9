#include "waves/PipeKernel.h"

#include <cstdlib>

namespace scaricometro::waves {

// Each defined by a compilation of PipeKernelLoops.cpp for its instruction set.
extern const PipeKernel kSse2PipeKernel;
#ifdef SCARICOMETRO_AVX2_KERNEL
extern const PipeKernel kAvx2PipeKernel;
#endif

namespace {

constexpr const char* kVectorsVariable = "SCARICOMETRO_VECTORS";

}  // namespace

std::string_view nameOf(VectorWidth width)
{
    return width == VectorWidth::Avx2 ? "avx2" : "sse2";
}

bool processorRuns(VectorWidth width)
{
#ifdef SCARICOMETRO_AVX2_KERNEL
    // GCC's and Clang's check asks the operating system too, whether it keeps the wide registers.
    if (width == VectorWidth::Avx2)
        return __builtin_cpu_supports("avx2");
#endif
    return width == VectorWidth::Sse2;
}

VectorWidth defaultVectorWidth()
{
    static const VectorWidth width = [] {
        const char* asked = std::getenv(kVectorsVariable);
        if (asked && asked == nameOf(VectorWidth::Sse2))
            return VectorWidth::Sse2;
        return processorRuns(VectorWidth::Avx2) ? VectorWidth::Avx2 : VectorWidth::Sse2;
    }();
    return width;
}

const PipeKernel& pipeKernel(VectorWidth width)
{
#ifdef SCARICOMETRO_AVX2_KERNEL
    if (width == VectorWidth::Avx2)
        return kAvx2PipeKernel;
#endif
    (void)width;
    return kSse2PipeKernel;
}

}  // namespace scaricometro::waves
