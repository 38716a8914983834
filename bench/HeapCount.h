// Heap accounting for the benchmarks: the program's operator new and delete count the
// bytes held now, the peak since it was last reset, and the allocations made.
#pragma once

#include <cstddef>

std::size_t BenchAllocationCount() noexcept;
std::size_t BenchHeapNow() noexcept;
std::size_t BenchHeapPeak() noexcept;
// Starts a new peak at the bytes held now.
void BenchResetHeapPeak() noexcept;
