// Kodemorph on one full-market download (180 EUC-JP quote pages written to files), against
// glibc's iconv command on the same files, and against iconv() in memory as the floor.
// Prints MB/s of each and the ratios, all measured in this one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iconv.h>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/QuotePages.h"
#include "kodemorph/Jconv.h"
#include "quotesite/CodeConvert.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

struct Fixture {
    bench::ScratchFolder scratch;
    const fs::path& folder = scratch.Path();
    bench::QuotePages pages = bench::MakeQuotePages();
    std::vector<fs::path> files = bench::WriteQuotePages(folder, pages);
    std::string fileList;  // the files, quoted for the shell

    Fixture() {
        for (const fs::path& f : files) fileList += " '" + f.string() + "'";
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void RunShell(const std::string& command, benchmark::State& state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

// The program's path: each page through ConvertToShiftJis into a Shift_JIS file that is
// deleted after use, as the download deletes it once parsed.
void BM_Kodemorph(benchmark::State& state) {
    Fixture& f = TheFixture();
    const fs::path target = f.folder / "result.sjis";
    for (auto _ : state) {
        for (const fs::path& file : f.files) {
            quotesite::ConvertToShiftJis(file, target);
            fs::remove(target);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.pages.bytes));
}

// glibc's iconv command, one process over all 180 files (-c: go on past characters without
// a CP932 form, as Kodemorph does); its output file is deleted too.
void BM_IconvCommand(benchmark::State& state) {
    Fixture& f = TheFixture();
    const std::string all = "'" + (f.folder / "all.sjis").string() + "'";
    const std::string command = "iconv -c -f EUC-JP-MS -t CP932" + f.fileList + " > " + all + " && rm " + all;
    for (auto _ : state) RunShell(command, state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.pages.bytes));
}

// The iconv command once per page, as a program calling it per download would.
void BM_IconvCommandPerPage(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string script;
    for (const fs::path& file : f.files)
        script += "iconv -c -f EUC-JP-MS -t CP932 '" + file.string() + "' > result.sjis && rm result.sjis\n";
    const fs::path scriptFile = f.folder / "per-page.sh";
    {
        std::FILE* out = std::fopen(scriptFile.c_str(), "w");
        if (!out) throw std::runtime_error("cannot write the script");
        std::fputs(script.c_str(), out);
        std::fclose(out);
    }
    const std::string command = "cd '" + f.folder.string() + "' && sh per-page.sh";
    for (auto _ : state) RunShell(command, state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.pages.bytes));
}

// The same file work as the program does per page (read the page, write the Shift_JIS
// file, delete it) with plain iconv() as the converter: what Kodemorph adds beyond it is
// its own cost (character walk, substitutes, IBM rows, opening the converter per call).
void BM_IconvFilesInProcess(benchmark::State& state) {
    Fixture& f = TheFixture();
    const fs::path target = f.folder / "result.sjis";
    iconv_t cd = iconv_open("CP932", "EUC-JP-MS");
    std::string page, out;
    for (auto _ : state) {
        for (const fs::path& file : f.files) {
            std::FILE* in = std::fopen(file.c_str(), "rb");
            page.resize(static_cast<size_t>(fs::file_size(file)));
            page.resize(std::fread(page.data(), 1, page.size(), in));
            std::fclose(in);
            out.resize(page.size() * 2);
            char* inPtr = page.data();
            size_t inLeft = page.size();
            char* outPtr = out.data();
            size_t outLeft = out.size();
            while (inLeft > 0 && iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
                ++inPtr;
                --inLeft;
            }
            std::FILE* o = std::fopen(target.c_str(), "w+b");
            std::fwrite(out.data(), 1, out.size() - outLeft, o);
            std::fclose(o);
            fs::remove(target);
        }
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.pages.bytes));
}

// iconv() over the pages in memory: no files, no substitutes, no IBM rows; the floor.
void BM_IconvInMemory(benchmark::State& state) {
    Fixture& f = TheFixture();
    iconv_t cd = iconv_open("CP932", "EUC-JP-MS");
    std::string out;
    for (auto _ : state) {
        for (const std::string& page : f.pages.pages) {
            out.resize(page.size() * 2);
            char* in = const_cast<char*>(page.data());
            size_t inLeft = page.size();
            char* outPtr = out.data();
            size_t outLeft = out.size();
            while (inLeft > 0 && iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
                ++in;  // skip what has no CP932 form, as -c does
                --inLeft;
            }
            benchmark::DoNotOptimize(outPtr);
        }
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.pages.bytes));
}

// The converter alone, in memory: jconv against iconv() above.
void BM_JconvInMemory(benchmark::State& state) {
    Fixture& f = TheFixture();
    std::string out;
    for (auto _ : state) {
        for (const std::string& page : f.pages.pages) {
            out.resize(page.size() * 8);
            benchmark::DoNotOptimize(jconv(kJconvEucJp, page.data(), page.size(), kJconvShiftJis, out.data()));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.pages.bytes));
}

// Repeated, and the fastest repetition kept: on a busy machine it is the least disturbed.
BENCHMARK(BM_Kodemorph)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_IconvFilesInProcess)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_IconvCommand)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_IconvCommandPerPage)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_IconvInMemory)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_JconvInMemory)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Interleave the repetitions, so a burst of load on a shared machine falls on all alike.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Fixture& f = TheFixture();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double mb = static_cast<double>(f.pages.bytes) / 1e6;
    std::printf("\n%d pages, %d listed issues, %.2f MB of EUC-JP\n", bench::kPageCount, f.pages.listed, mb);
    bench::PrintMegabytesPerSecond(reporter, mb);
    auto ratio = [&](const char* a, const char* b) { bench::PrintRatio(reporter, a, b); };
    ratio("BM_Kodemorph", "BM_IconvFilesInProcess");
    ratio("BM_Kodemorph", "BM_IconvCommand");
    ratio("BM_Kodemorph", "BM_IconvCommandPerPage");
    ratio("BM_Kodemorph", "BM_IconvInMemory");
    ratio("BM_JconvInMemory", "BM_IconvInMemory");
    benchmark::Shutdown();
    return 0;
}
