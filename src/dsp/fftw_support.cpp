#include "dsp/fftw_support.h"

#include <new>

namespace dsp::fftw {

// Never destroyed: plans cached in statics free themselves when the program ends, in whatever
// order the statics go.
std::mutex& plannerMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

ComplexBuffer complexBuffer(std::size_t length)
{
    ComplexBuffer buffer(fftw_alloc_complex(length));
    if (!buffer)
        throw std::bad_alloc();
    return buffer;
}

} // namespace dsp::fftw
