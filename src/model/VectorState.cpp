#include "model/VectorState.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace scaricometro {

#if defined(__GNUC__) && defined(__x86_64__)
namespace {

__attribute__((target("avx"))) void zeroUpper()
{
    _mm256_zeroupper();
}

}  // namespace

void clearUpperVectorState()
{
    if (__builtin_cpu_supports("avx"))
        zeroUpper();
}
#else
void clearUpperVectorState()
{
}
#endif

}  // namespace scaricometro
