// Colours as the settings file and the domain's drawing code keep them (0x00BBGGRR, the
// decimal value of the settings file) and as Qt paints them.
#pragma once

#include <QColor>
#include <cstdint>

namespace mirolanda::painter {

QColor ColorFromBgr(uint32_t bgr);
uint32_t BgrFromColor(const QColor& color);

}  // namespace mirolanda::painter
