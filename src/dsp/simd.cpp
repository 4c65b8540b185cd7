#include "dsp/simd.h"

#include <cstdio>
#include <cstdlib>

namespace dsp::simd {

std::string_view name(Level level)
{
    switch (level) {
    case Level::avx2:
        return "avx2";
    case Level::avx512:
        return "avx512";
    case Level::baseline:
        break;
    }
    return "baseline";
}

std::optional<Level> parseLevel(std::string_view text)
{
    for (Level level : kLevels) {
        if (text == name(level))
            return level;
    }
    return std::nullopt;
}

Level widestSupported()
{
#if DSP_SIMD_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl"))
        return Level::avx512;
    if (__builtin_cpu_supports("avx2"))
        return Level::avx2;
#endif
    return Level::baseline;
}

bool supported(Level level)
{
    return static_cast<int>(level) <= static_cast<int>(widestSupported());
}

Level resolve(const char* request, Level widest)
{
    if (request == nullptr || *request == '\0')
        return widest;
    const std::optional<Level> asked = parseLevel(request);
    if (!asked)
        return widest;
    return static_cast<int>(*asked) <= static_cast<int>(widest) ? *asked : widest;
}

Level active()
{
    static const Level level = [] {
        const char* request = std::getenv("DSPLAB_SIMD");
        const Level widest = widestSupported();
        const Level chosen = resolve(request, widest);
        if (request != nullptr && *request != '\0' && name(chosen) != request) {
            std::fprintf(stderr, "dsplab: DSPLAB_SIMD=%s %s; using %s\n", request,
                         parseLevel(request) ? "is not supported by this processor"
                                             : "is not baseline, avx2 or avx512",
                         name(chosen).data());
        }
        return chosen;
    }();
    return level;
}

} // namespace dsp::simd
