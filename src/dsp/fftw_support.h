#pragma once

#include <fftw3.h>

#include <memory>
#include <mutex>

// What the maths' users of FFTW share.
namespace dsp::fftw {

// FFTW's planner (and the freeing of plans) keeps state shared by every plan in the program;
// only the execution of finished plans may run concurrently. Hold this lock while planning or
// destroying a plan.
std::mutex& plannerMutex();

struct Free {
    void operator()(void* data) const { fftw_free(data); }
};
// Buffers from fftw_alloc: aligned alike, so that a plan made on one runs on any other through
// the new-array execute functions (fftw_execute_dft and kin).
using ComplexBuffer = std::unique_ptr<fftw_complex[], Free>;
// Throws std::bad_alloc when there is no room.
ComplexBuffer complexBuffer(std::size_t length);

} // namespace dsp::fftw
