// The quote sources the program knows, registered under their values of "QuoteSource", and
// the source the settings choose. Adding a source is one folder and one line here.
#pragma once

#include <memory>
#include <string>

#include "market/QuoteSource.h"
#include "settings/Snapshot.h"

namespace mirolanda::settings {

// Every source, the default first.
const market::SourceRegistry& QuoteSources();

// The source "QuoteSource" chooses (the default for an unknown value), made from the settings
// and the source's secret (the API key from the secret store).
std::unique_ptr<market::QuoteSource> SourceFrom(const Snapshot& settings, std::string secret,
                                                const market::SourceRegistry& registry = QuoteSources());

// The source registered under `name` whatever "QuoteSource" says (a command that needs one
// source, such as the backfill through J-Quants), made from the settings and its secret.
std::unique_ptr<market::QuoteSource> SourceNamed(const Snapshot& settings, std::string_view name, std::string secret,
                                                 const market::SourceRegistry& registry = QuoteSources());

}  // namespace mirolanda::settings
