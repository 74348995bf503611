#include "io_test_support.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <stdexcept>

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

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            std::filesystem::temp_directory_path() / ("tervane-io-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("no scratch folder could be created");
}

ScratchFolder::~ScratchFolder()
{
    // A test may have made folders read-only; give them back before removing them.
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         !ignored && it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const std::string& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
}

} // namespace tervane::testing
