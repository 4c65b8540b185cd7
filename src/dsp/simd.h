#pragma once

#include <optional>
#include <string_view>

// How the maths picks its vector kernels: one way for every kernel.
//
// A kernel is written once as an always-inline template and instantiated in three small
// functions, one per level, each carrying that level's target attribute (DSP_SIMD_BASELINE,
// DSP_SIMD_AVX2, DSP_SIMD_AVX512 below). The caller passes a Level; pick() returns the function
// for it. The public entry points take the Level as an argument, and their plain overloads pass
// active(): the widest level the processor has, or the one DSPLAB_SIMD asks for.
//
//   DSPLAB_SIMD=baseline   SSE2 only, as every x86-64 processor has
//   DSPLAB_SIMD=avx2       256-bit vectors
//   DSPLAB_SIMD=avx512     512-bit vectors (AVX-512 F and VL)
//
// A level the processor lacks is not used: the request falls to the widest level the processor
// has below it (avx512 on an AVX2 machine runs avx2). An unknown value is ignored. Either way a
// one-line note goes to stderr. The variable is read once, on the first call of active().
//
// The maths library is compiled with -ffp-contract=off, so no multiply is ever fused with an add
// and every vector lane rounds exactly as the scalar operation would. Each kernel keeps the order
// of its additions the same at every width, so all levels return the same bits; the core tests
// run every level the processor has and compare them bit for bit.
namespace dsp::simd {

enum class Level { baseline, avx2, avx512 };

inline constexpr Level kLevels[] = {Level::baseline, Level::avx2, Level::avx512};

// "baseline", "avx2", "avx512".
std::string_view name(Level level);
// The level a DSPLAB_SIMD value names; nothing for any other text.
std::optional<Level> parseLevel(std::string_view text);

// The widest level this processor runs (always baseline off x86-64).
Level widestSupported();
bool supported(Level level);

// The level a DSPLAB_SIMD value gives on a processor whose widest level is `widest`: the request
// when the processor has it, else `widest` when the request is wider, else (no request or an
// unknown one) `widest`.
Level resolve(const char* request, Level widest);

// resolve(getenv("DSPLAB_SIMD"), widestSupported()), taken once.
Level active();

// One function per level; pick() returns the one for `level`, or baseline for a level the
// build has no variant of.
template <typename Function>
struct Variants {
    Function baseline;
    Function avx2;
    Function avx512;

    Function pick(Level level) const
    {
        switch (level) {
        case Level::avx512:
            return avx512 ? avx512 : baseline;
        case Level::avx2:
            return avx2 ? avx2 : baseline;
        case Level::baseline:
            break;
        }
        return baseline;
    }
};

} // namespace dsp::simd

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DSP_SIMD_X86 1
#define DSP_SIMD_BASELINE
#define DSP_SIMD_AVX2 __attribute__((target("avx2")))
#define DSP_SIMD_AVX512 __attribute__((target("avx512f,avx512vl")))
#else
#define DSP_SIMD_X86 0
#define DSP_SIMD_BASELINE
#endif
