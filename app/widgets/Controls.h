// Small factories for the window's controls: each gets its object name (the name the
// program's documentation uses, so tests and other code find it), its caption and its
// place in twips, in its parent's AnchorLayout when the parent has one (with the share of the
// parent's growth it follows); and the placing of a dialog over the window.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include "app/widgets/AnchorLayout.h"
#include "app/widgets/FittingButton.h"
#include "app/widgets/Twips.h"

namespace mirolanda::app {

// The name of one control of an indexed set: "LblDay(3)".
inline QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Names a control that a Qt layout places.
template <typename W>
W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

template <typename W>
W* Named(W* widget, const QString& name, TwipsRect rect, Follow follow = kStay) {
    widget->setObjectName(name);
    QWidget* parent = widget->parentWidget();
    if (auto* layout = parent ? qobject_cast<AnchorLayout*>(parent->layout()) : nullptr) {
        layout->Add(widget, rect, follow);
    } else {
        Place(widget, rect.Left, rect.Top, rect.Width, rect.Height);
    }
    return widget;
}

inline QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, TwipsRect rect,
                               Follow follow = kStay) {
    return Named(new FittingButton(caption, parent), name, rect, follow);
}

inline QLabel* MakeLabel(QWidget* parent, const QString& caption, TwipsRect rect, const QString& name = {},
                         Follow follow = kStay) {
    auto* label = Named(new QLabel(caption, parent), name, rect, follow);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

inline QLineEdit* MakeEdit(QWidget* parent, const QString& name, TwipsRect rect, const QString& tooltip = {},
                           Follow follow = kStay) {
    auto* edit = Named(new QLineEdit(parent), name, rect, follow);
    if (!tooltip.isEmpty()) edit->setToolTip(tooltip);
    return edit;
}

inline QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& caption, TwipsRect rect,
                            Follow follow = kStay) {
    return Named(new QCheckBox(caption, parent), name, rect, follow);
}

inline QGroupBox* MakeFrame(QWidget* parent, const QString& caption, TwipsRect rect, const QString& name = {},
                            Follow follow = kStay) {
    return Named(new QGroupBox(caption, parent), name, rect, follow);
}

// Makes the options one group of their own. Options without one are grouped with every
// option below the same parent, frames included, and Tab then skips a frame's options.
template <typename Options>
void GroupOptions(QWidget* parent, const Options& options) {
    auto* group = new QButtonGroup(parent);
    for (QRadioButton* option : options) group->addButton(option);
}

// Moves a dialog so that its frame is centred on the frame of `over`.
inline void CentreOver(QWidget* dialog, const QWidget* over) {
    const QRect frame = over->frameGeometry();
    const QSize size = dialog->frameGeometry().size();
    dialog->move(frame.left() + (frame.width() - size.width()) / 2, frame.top() + (frame.height() - size.height()) / 2);
}

}  // namespace mirolanda::app
