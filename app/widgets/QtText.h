// The domain's UTF-8 text as the window shows it.
#pragma once

#include <QString>
#include <string_view>

namespace mirolanda::app {

inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace mirolanda::app
