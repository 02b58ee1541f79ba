// Small cache files a command keeps in the temporary folder (UTF-8, LF): a first line naming
// what and when, then tab-separated fields. A cache that does not read back exactly is simply
// made anew, and one that cannot be written only costs a request next time.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mirolanda::platform {

// The rows of the cache file when its first line is `firstLine` and every row has `fields`
// fields; nothing otherwise (missing, too large, unreadable, another first line).
std::optional<std::vector<std::vector<std::string>>> ReadCache(const std::filesystem::path& path,
                                                              const std::string& firstLine, size_t fields);
// Replaces folder/name with the text; never throws for a file that cannot be written.
void WriteCache(const std::filesystem::path& folder, const std::string& name, const std::string& text);

}  // namespace mirolanda::platform
