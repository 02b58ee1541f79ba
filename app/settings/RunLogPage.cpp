#include "app/settings/RunLogPage.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/widgets/Controls.h"
#include "app/commands/WindowServices.h"
#include "platform/RunLog.h"

namespace mirolanda::app {

RunLogPage::RunLogPage(WindowServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("RunLogPage"));
    new AnchorLayout(this);
    TxtRunLog = Named(new QPlainTextEdit(this), QStringLiteral("TxtRunLog"), {120, 120, 7725, 3795}, kGrow);
    TxtRunLog->setReadOnly(true);
    TxtRunLog->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    TxtRunLog->setAccessibleName(QStringLiteral("実行記録"));
    TxtRunLog->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void RunLogPage::Refresh() {
    QString text;
    try {
        for (const std::string& line : platform::ReadRunLogTail(services_.ProgramFolder(), 50)) {
            text += QString::fromStdString(line) + QLatin1Char('\n');
        }
    } catch (const std::exception& e) {
        text = QStringLiteral("実行記録を読み込めません: ") + QString::fromUtf8(e.what());
    }
    if (text.isEmpty()) text = QStringLiteral("実行記録はまだありません");
    TxtRunLog->setPlainText(text);
    TxtRunLog->verticalScrollBar()->setValue(TxtRunLog->verticalScrollBar()->maximum());
}

void RunLogPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

}  // namespace mirolanda::app
