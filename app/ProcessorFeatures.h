// The processor features the installer requires (CPUID leaf 1, EDX: MMX is
// bit 23, SSE2 bit 26), asked once under a lock and kept for the run.
#pragma once

#include <cstdint>

struct ProcessorFeatures {
    bool mmx = false;
    bool sse2 = false;

    static ProcessorFeatures FromCpuidEdx(uint32_t edx);
    // The running processor's, computed on first use.
    static ProcessorFeatures Get();
    // Forgets the computed features: for a new run on another simulated
    // machine in the same process.
    static void Forget();
};
