// The domain's UTF-8 text as QPainter draws and measures it.
#pragma once

#include <QString>
#include <string_view>

namespace mirolanda::painter {

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace mirolanda::painter
