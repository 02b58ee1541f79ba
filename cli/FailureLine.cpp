#include "cli/FailureLine.h"

#include <cstdio>

namespace mirolanda::cli {
namespace {

// libcurl's words for a refused connection to the simulator's default address (the default of
// every address setting).
constexpr std::string_view kSimulatorRefused = "Failed to connect to 127.0.0.1 port 8787";

void AppendOneLine(std::string& line, std::string_view text) {
    for (const char c : text) line += c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
    while (!line.empty() && line.back() == ' ') line.pop_back();
}

}  // namespace

std::string FailureLine(std::string_view what, std::string_view detail) {
    std::string line = "mirolanda-cli: ";
    AppendOneLine(line, what);
    if (!detail.empty()) {
        line += ": ";
        AppendOneLine(line, detail);
    }
    return line;
}

void PrintFailure(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "%s\n", FailureLine(what, detail).c_str());
}

std::string RequestFailureDetail(std::string_view detail) {
    if (detail.find(kSimulatorRefused) == std::string_view::npos) return std::string(detail);
    return "127.0.0.1:8787 で mirolanda-sim が動いていません(「mirolanda-sim --port 8787 &」で起動してください)";
}

}  // namespace mirolanda::cli
