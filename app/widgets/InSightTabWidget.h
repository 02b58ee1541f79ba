// A tab widget whose tabs all stay in sight: when the bar is too narrow for every caption,
// captions are elided (the caller puts each whole in its tab's tooltip) instead of the last
// tabs hiding behind scroll arrows; with room enough, every caption is drawn whole.
#pragma once

#include <QTabWidget>

namespace mirolanda::app {

class InSightTabWidget final : public QTabWidget {
    Q_OBJECT
public:
    explicit InSightTabWidget(QWidget* parent = nullptr);
};

}  // namespace mirolanda::app
