#include "io_test_support.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>

namespace {
std::atomic<int> trackingScopes{0};
std::atomic<std::size_t> largestSize{0};
std::atomic<std::size_t> totalSize{0};
} // namespace

// Replaces the global allocation functions of the io test program only; the array and nothrow forms
// forward to these.
void* operator new(std::size_t size)
{
    if (trackingScopes.load() > 0) {
        totalSize += size;
        std::size_t seen = largestSize.load();
        while (size > seen && !largestSize.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace tervane::testing {

std::vector<Quadratic*> lawsOf(Material& m)
{
    auto& p = m.polarization;
    return {&m.Eg,  &m.dEc, &m.eps, &m.EaShallow, &m.EdShallow, &m.EaDeep, &m.EdDeep, &m.me,
            &m.mhh, &m.mlh, &p.a,   &p.Psp,       &p.c13,       &p.c33,    &p.e31,    &p.e33};
}

std::vector<double*> allNumbers(Material& m)
{
    std::vector<double*> numbers;
    for (Quadratic* law : lawsOf(m))
        numbers.insert(numbers.end(), {&law->a, &law->b, &law->c});
    numbers.insert(numbers.end(), {&m.NdBackground, &m.NaBackground, &m.NddBackground, &m.NdaBackground});
    return numbers;
}

Material distinctMaterial(const std::string& name, double base, int type)
{
    Material m;
    m.name = name;
    m.type = type;
    for (double* number : allNumbers(m)) {
        *number = base;
        base += 0.125;
    }
    return m;
}

LargestAllocation::LargestAllocation()
{
    largestSize.store(0);
    totalSize.store(0);
    ++trackingScopes;
}
LargestAllocation::~LargestAllocation()
{
    --trackingScopes;
}
std::size_t LargestAllocation::bytes() const
{
    return largestSize.load();
}
std::size_t LargestAllocation::totalBytes() const
{
    return totalSize.load();
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace tervane::testing
