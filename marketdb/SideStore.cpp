#include "marketdb/SideStore.h"

#include "marketdb/Health.h"

namespace mirolanda::marketdb {

SideStore::SideStore(std::filesystem::path file, std::function<platform::DateTime()> now)
    : file_(std::move(file)), now_(std::move(now)) {}

void SideStore::Add(const market::DaySnapshot& day, const platform::Progress& progress) {
    if (failed_) return;
    try {
        if (!db_) {
            Opened opened = OpenOrSetAside(file_, now_());
            if (!opened.SetAsideMessage.empty()) notices_.push_back(opened.SetAsideMessage);
            db_ = std::move(opened.Db);
        }
        db_->Add(day, progress);
    } catch (const std::exception& e) {
        failed_ = true;
        db_.reset();
        notices_.push_back(std::string(kNotStoredText) + ": " + e.what());
    }
}

}  // namespace mirolanda::marketdb
