// The save button of a settings group: a click saves the group and disables the button until
// the next change; a save that fails is shown and leaves the button enabled for another try.
#pragma once

#include <QPushButton>
#include <utility>

#include "app/ErrorBox.h"

namespace mirolanda::app {

template <typename Save>
void ConnectSaveButton(QPushButton* button, WindowServices& services, Save save) {
    QObject::connect(button, &QPushButton::clicked, button, [button, &services, save = std::move(save)] {
        Guarded(services, [&] {
            save();
            button->setEnabled(false);
        });
    });
}

}  // namespace mirolanda::app
