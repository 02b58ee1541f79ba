#include "settings/QuoteSources.h"

#include "jquants/JQuantsSource.h"
#include "quotesite/SiteSource.h"

namespace mirolanda::settings {

const market::SourceRegistry& QuoteSources() {
    static const market::SourceRegistry registry = [] {
        market::SourceRegistry sources;
        sources.Register(quotesite::Entry());
        sources.Register(jquants::Entry());
        return sources;
    }();
    return registry;
}

std::unique_ptr<market::QuoteSource> SourceNamed(const Snapshot& settings, std::string_view name, std::string secret,
                                                 const market::SourceRegistry& registry) {
    market::SourceSetup setup;
    setup.Setting = [&settings](std::string_view key) {
        const Key* found = FindKey(key);
        return found ? settings.Text(*found) : std::string();
    };
    setup.Secret = std::move(secret);
    return registry.Find(name).Make(setup);
}

std::unique_ptr<market::QuoteSource> SourceFrom(const Snapshot& settings, std::string secret,
                                                const market::SourceRegistry& registry) {
    return SourceNamed(settings, settings.Text(keys::QuoteSource), std::move(secret), registry);
}

}  // namespace mirolanda::settings
