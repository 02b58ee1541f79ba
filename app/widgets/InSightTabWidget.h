// A tab widget whose tabs all stay in sight: when the bar is too narrow for every caption,
// captions are elided (the caller puts each whole in its tab's tooltip) instead of the last
// tabs hiding behind scroll arrows; with room enough, every caption is drawn whole. Its tabs
// leave `captionMargin` pixels beside their captions (both sides together), less than the
// desktop style would, so that more captions fit whole.
#pragma once

#include <QTabWidget>

namespace mirolanda::app {

class InSightTabWidget final : public QTabWidget {
    Q_OBJECT
public:
    InSightTabWidget(QWidget* parent, int captionMargin);
};

}  // namespace mirolanda::app
