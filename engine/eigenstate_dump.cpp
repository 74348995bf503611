// The eigenstate files are O(N^2) numbers of text, so they are formatted by hand into a buffer rather
// than through printf: a fast path that is exact whenever the rounding is not in doubt, and
// std::to_chars (which rounds exactly as printf does) for everything else.
#include "engine/eigenstate_dump.h"

#include "engine/text_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "engine/bound_states.h"
#include "engine/grid.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

namespace {

// Below this magnitude value * 1e4 is below 2^40, so its rounding error is under 2^-13 and a
// fraction at least fastPathMargin away from one half rounds the same as the exact product.
constexpr double fastPathLimit = 1e8;
constexpr double fastPathMargin = 1e-3;

char* formatFixed(char* out, double value, int precision)
{
    return std::to_chars(out, out + maxFixed4Length, value, std::chars_format::fixed, precision).ptr;
}

// Output is collected in one fixed buffer and handed to the file in large pieces.
class DumpWriter {
  public:
    // Longest piece written between two calls of room(): one number and its separators.
    static constexpr std::size_t pieceLength = maxFixed4Length + 2;

    explicit DumpWriter(std::FILE* file) : file_(file) { buffer_.resize(bufferSize); }

    // Where to go on writing, `out` being the end of what was written so far: there is room for one more
    // piece there, or the buffer went to the file and writing starts again at its beginning.
    char* room(char* out)
    {
        used_ = static_cast<std::size_t>(out - buffer_.data());
        if (used_ + pieceLength <= buffer_.size())
            return out;
        flush();
        return buffer_.data();
    }
    char* begin() { return buffer_.data() + used_; }

    // Writes out everything up to `out`.
    void flush(char* out)
    {
        used_ = static_cast<std::size_t>(out - buffer_.data());
        flush();
    }
    bool failed() const { return failed_; }

  private:
    void flush()
    {
        if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_)
            failed_ = true;
        used_ = 0;
    }

    static constexpr std::size_t bufferSize = std::size_t{1} << 20;
    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

} // namespace

char* formatFixed4(char* out, double value)
{
    const double magnitude = std::fabs(value);
    if (magnitude < fastPathLimit) { // false for NaN and infinities
        const double scaled = magnitude * 1e4;
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) > fastPathMargin) {
            auto units = static_cast<std::uint64_t>(whole);
            if (fraction > 0.5)
                ++units;
            if (std::signbit(value))
                *out++ = '-';
            out = std::to_chars(out, out + 24, units / 10000).ptr;
            const auto decimals = static_cast<unsigned>(units % 10000);
            out[0] = '.';
            out[1] = static_cast<char>('0' + decimals / 1000);
            out[2] = static_cast<char>('0' + decimals / 100 % 10);
            out[3] = static_cast<char>('0' + decimals / 10 % 10);
            out[4] = static_cast<char>('0' + decimals % 10);
            return out + 5;
        }
    }
    return formatFixed(out, value, 4);
}

bool writeEigenStates(const Grid& grid, const EigenSolution& solution, const std::string& path,
                      Observer& observer)
{
    const int N = solution.size();
    const int M = solution.returned;
    TextFile file(path);
    if (!file) {
        observer.message("Can't open dump file for schrodinger solution");
        return false;
    }
    DumpWriter writer(file.get());

    char* out = writer.begin();
    *out++ = '0';
    *out++ = '.';
    *out++ = '0';
    *out++ = '\t';
    for (int k = 0; k < M; ++k) {
        out = writer.room(out);
        out = formatFixed4(out, solution.E[static_cast<std::size_t>(k)]);
        *out++ = '\t';
    }
    *out++ = '\n';

    // A line holds one point of every state, while the table keeps each state contiguous: a block of
    // points is gathered from all states at once, so the table is read a cache line at a time.
    constexpr int blockPoints = 16;
    const auto n = static_cast<std::size_t>(N);
    std::vector<double> block(static_cast<std::size_t>(blockPoints) * n);
    double x = 0.0; // Angstrom
    for (int first = 0; first < M; first += blockPoints) {
        const int count = M - first < blockPoints ? M - first : blockPoints;
        for (int k = 0; k < N; ++k) {
            const double* s = solution.state(k) + first;
            for (int j = 0; j < count; ++j)
                block[static_cast<std::size_t>(j) * n + static_cast<std::size_t>(k)] = s[j];
        }
        for (int j = 0; j < count; ++j) {
            const int r = first + j;
            out = writer.room(out);
            out = formatFixed(out, x, 2);
            *out++ = '\t';
            const double* row = block.data() + static_cast<std::size_t>(j) * n;
            for (std::size_t k = 0; k < n; ++k) {
                out = writer.room(out);
                out = formatFixed4(out, row[k]);
                *out++ = '\t';
            }
            *out++ = '\n';
            if (r + 1 < M)
                x = x + grid.dx[static_cast<std::size_t>(r)] * angstromPerMetre;
        }
    }
    writer.flush(out);
    const bool closed = file.close();
    if (writer.failed() || !closed) {
        observer.message("Can't open dump file for schrodinger solution");
        return false;
    }
    return true;
}

struct EigenStateStream::Impl {
    Impl(const Grid& g, std::string p) : grid(g), path(std::move(p)) {}
    const Grid& grid;
    std::string path;
    std::map<int, std::pair<std::string, int>> fragments; // first state -> file, state count
    bool failed = false;

    std::string fragmentPath(int first) const { return path + ".part" + std::to_string(first); }

    void removeFragments()
    {
        std::error_code ignored;
        for (const auto& [first, fragment] : fragments)
            std::filesystem::remove(fragment.first, ignored);
        fragments.clear();
    }
};

EigenStateStream::EigenStateStream(const Grid& grid, std::string path)
    : impl_(std::make_unique<Impl>(grid, std::move(path)))
{
}

EigenStateStream::~EigenStateStream()
{
    impl_->removeFragments();
}

void EigenStateStream::add(const EigenSolution& block)
{
    const int first = block.first;
    const int count = block.withVectors - first;
    const std::string fragment = impl_->fragmentPath(first);
    impl_->fragments[first] = {fragment, count};
    TextFile file(fragment);
    bool written = static_cast<bool>(file);
    if (written) {
        // One line per point: the block's components at that point, each followed by a tab.
        DumpWriter writer(file.get());
        char* out = writer.begin();
        const int N = block.size();
        for (int r = 0; r < N; ++r) {
            for (int k = first; k < first + count; ++k) {
                out = writer.room(out);
                out = formatFixed4(out, block.state(k)[r]);
                *out++ = '\t';
            }
            *out++ = '\n';
        }
        writer.flush(out);
        written = file.close() && !writer.failed();
    }
    if (!written)
        impl_->failed = true;
}

bool EigenStateStream::finish(const EigenSolution& solution, Observer& observer)
{
    Impl& s = *impl_;
    const auto fail = [&] {
        s.removeFragments();
        observer.message("Can't open dump file for schrodinger solution");
        return false;
    };
    if (s.failed)
        return fail();
    std::vector<std::FILE*> parts;
    const auto closeParts = [&parts] {
        for (std::FILE* part : parts)
            std::fclose(part);
    };
    int added = 0; // the states the fragments hold, in order
    for (const auto& [first, fragment] : s.fragments) {
        std::FILE* part = first == added ? std::fopen(fragment.first.c_str(), "rb") : nullptr;
        if (!part) {
            closeParts();
            return fail();
        }
        parts.push_back(part);
        added += fragment.second;
    }
    const int N = solution.size();
    const int M = solution.returned;
    TextFile file(s.path);
    if (!file) {
        closeParts();
        return fail();
    }
    std::setvbuf(file.get(), nullptr, _IOFBF, std::size_t{1} << 20);
    DumpWriter writer(file.get());
    char* out = writer.begin();
    *out++ = '0';
    *out++ = '.';
    *out++ = '0';
    *out++ = '\t';
    for (int k = 0; k < M; ++k) {
        out = writer.room(out);
        out = formatFixed4(out, solution.E[static_cast<std::size_t>(k)]);
        *out++ = '\t';
    }
    *out++ = '\n';
    char* line = nullptr;
    std::size_t capacity = 0;
    bool complete = true;
    double x = 0.0; // Angstrom
    for (int r = 0; r < M && complete; ++r) {
        out = writer.room(out);
        out = formatFixed(out, x, 2);
        *out++ = '\t';
        for (std::FILE* part : parts) {
            const ssize_t length = getline(&line, &capacity, part);
            if (length < 1 || line[length - 1] != '\n') {
                complete = false;
                break;
            }
            writer.flush(out);
            if (std::fwrite(line, 1, static_cast<std::size_t>(length - 1), file.get()) !=
                static_cast<std::size_t>(length - 1))
                complete = false;
            out = writer.begin();
        }
        for (int k = added; k < N; ++k) { // states the solver did not return are zero
            out = writer.room(out);
            out = formatFixed4(out, 0.0);
            *out++ = '\t';
        }
        *out++ = '\n';
        if (r + 1 < M)
            x = x + s.grid.dx[static_cast<std::size_t>(r)] * angstromPerMetre;
    }
    std::free(line);
    closeParts();
    writer.flush(out);
    const bool closed = file.close();
    if (!complete || writer.failed() || !closed)
        return fail();
    s.removeFragments();
    return true;
}

} // namespace tervane
