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

std::unique_ptr<market::QuoteSource> SourceFrom(const Snapshot& settings, std::string secret,
                                                const market::SourceRegistry& registry) {
    market::SourceSetup setup;
    setup.Setting = [&settings](std::string_view name) {
        const Key* key = FindKey(name);
        return key ? settings.Text(*key) : std::string();
    };
    setup.Secret = std::move(secret);
    return registry.Find(settings.Text(keys::QuoteSource)).Make(setup);
}

}  // namespace mirolanda::settings
