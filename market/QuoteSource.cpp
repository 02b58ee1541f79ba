#include "market/QuoteSource.h"

#include <stdexcept>

namespace mirolanda::market {

void SourceRegistry::Register(SourceEntry entry) {
    for (SourceEntry& known : entries_) {
        if (known.SettingName == entry.SettingName) {
            known = std::move(entry);
            return;
        }
    }
    entries_.push_back(std::move(entry));
}

const SourceEntry& SourceRegistry::Find(std::string_view settingName) const {
    if (entries_.empty()) throw std::logic_error("no quote source is registered");
    for (const SourceEntry& entry : entries_) {
        if (entry.SettingName == settingName) return entry;
    }
    return entries_.front();
}

}  // namespace mirolanda::market
