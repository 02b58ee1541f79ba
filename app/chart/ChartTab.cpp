#include "app/chart/ChartTab.h"

#include <QCheckBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"
#include "app/chart/ChartView.h"
#include "app/widgets/Controls.h"
#include "app/widgets/QtText.h"
#include "settings/ChartSetup.h"
#include "settings/Keys.h"

namespace mirolanda::app {

ChartTab::ChartTab(WindowServices& services, HistoryProvider history, QWidget* parent)
    : QWidget(parent), services_(services), history_(std::move(history)) {
    // Two rows, so that the tab fits the window's least width: the issue, then how to draw it.
    auto* bar = new QHBoxLayout;
    auto* options = new QHBoxLayout;
    TxtChartCode = Named(new QLineEdit, QStringLiteral("TxtChartCode"));
    TxtChartCode->setPlaceholderText(QStringLiteral("銘柄コードまたは銘柄名"));
    TxtChartCode->setMaximumWidth(220);
    TxtChartCode->setAccessibleName(QStringLiteral("銘柄"));
    TxtChartCode->setAccessibleDescription(QStringLiteral("銘柄コードまたは銘柄名の一部。候補から選べます"));
    completions_ = new QStringListModel(this);
    auto* completer = new QCompleter(completions_, this);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    TxtChartCode->setCompleter(completer);
    auto* label = new QLabel(QStringLiteral("銘柄(&M)"));
    label->setBuddy(TxtChartCode);
    bar->addWidget(label);
    bar->addWidget(TxtChartCode);
    auto* show = Named(new QPushButton(QStringLiteral("表示(&V)")), QStringLiteral("CmdChartShow"));
    bar->addWidget(show);
    const char* periods[] = {"日足", "週足", "月足"};
    for (int i = 0; i < 3; ++i) {
        OptChartPeriod[i] = Named(new QRadioButton(QString::fromUtf8(periods[i])), QStringLiteral("OptChartPeriod(%1)").arg(i));
        OptChartPeriod[i]->setChecked(i == 0);
        options->addWidget(OptChartPeriod[i]);
        connect(OptChartPeriod[i], &QRadioButton::toggled, this, [this](bool on) {
            if (!on) return;
            ShowAverageCaptions();
            if (PicChart->Chart().Size() > 0) CmdChartShow_Click();
        });
    }
    for (int i = 0; i < 3; ++i) {
        ChkChartAverage[i] = Named(new QCheckBox, QStringLiteral("ChkChartAverage(%1)").arg(i));
        ChkChartAverage[i]->setChecked(true);
        options->addWidget(ChkChartAverage[i]);
        connect(ChkChartAverage[i], &QCheckBox::toggled, this, [this] {
            PicChart->SetShowAverages({ChkChartAverage[0]->isChecked(), ChkChartAverage[1]->isChecked(),
                                       ChkChartAverage[2]->isChecked()});
        });
    }
    ChkChartAdjusted = Named(new QCheckBox(QStringLiteral("分割調整")), QStringLiteral("ChkChartAdjusted"));
    ChkChartAdjusted->setChecked(true);
    bar->addWidget(ChkChartAdjusted);
    bar->addStretch(1);
    connect(ChkChartAdjusted, &QCheckBox::toggled, this, [this] {
        if (PicChart->Chart().Size() > 0) CmdChartShow_Click();
    });
    connect(show, &QPushButton::clicked, this, &ChartTab::CmdChartShow_Click);
    connect(TxtChartCode, &QLineEdit::returnPressed, this, &ChartTab::CmdChartShow_Click);
    // Choosing a completion shows its chart at once.
    connect(completer, qOverload<const QString&>(&QCompleter::activated), this, [this] { CmdChartShow_Click(); });

    PicChart = Named(new ChartView, QStringLiteral("PicChart"));
    PicChart->setAccessibleName(QStringLiteral("ローソク足チャート"));
    PicChart->setAccessibleDescription(
        QStringLiteral("←→で1本ずつ、Home/Endで端へ移動し、十字線の日の四本値と出来高を読み上げます"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    page->addLayout(bar);
    options->addStretch(1);
    page->addLayout(options);
    page->addWidget(PicChart, 1);
    ShowAverageCaptions();
}

charts::Period ChartTab::SelectedPeriod() const {
    if (OptChartPeriod[1]->isChecked()) return charts::Period::Week;
    if (OptChartPeriod[2]->isChecked()) return charts::Period::Month;
    return charts::Period::Day;
}

void ChartTab::ShowAverageCaptions() {
    const auto lengths = charts::AverageLengths(SelectedPeriod());
    const QString unit = SelectedPeriod() == charts::Period::Day    ? QStringLiteral("日")
                         : SelectedPeriod() == charts::Period::Week ? QStringLiteral("週")
                                                                    : QStringLiteral("月");
    for (size_t i = 0; i < lengths.size(); ++i) {
        ChkChartAverage[i]->setText(QString::number(lengths[i]) + unit);
    }
}

void ChartTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The colours may have been changed on the settings tab meanwhile: the chart shown takes them.
    Guarded(services_, [&] {
        ApplyColours();
        RefreshCompletion();
    });
}

void ChartTab::ApplyColours() {
    const auto colours = settings::ChartColoursFrom(services_.LiveSettings());
    PicChart->SetCandleColours(colours.Up, colours.Down);
}

void ChartTab::RefreshCompletion() {
    issues_ = history_()->Issues();
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(issues_.size()));
    for (const auto& issue : issues_) entries.push_back(Q(issue.Code.Text()) + QStringLiteral(" ") + Q(issue.Name));
    completions_->setStringList(entries);
}

std::optional<market::IssueCode> ChartTab::EnteredCode() const {
    const std::string text = TxtChartCode->text().trimmed().toStdString();
    // "7203 トヨタ自動車" as the completion gives it, or the code alone.
    if (auto code = market::CodeFromText(text.substr(0, text.find(' ')))) return code;
    for (const auto& issue : issues_) {
        if (!text.empty() && issue.Name.find(text) != std::string::npos) return issue.Code;
    }
    return std::nullopt;
}

void ChartTab::Open(const market::IssueCode& code, std::optional<charts::Purchase> holding) {
    TxtChartCode->setText(Q(code.Text()));
    holding_.reset();
    if (holding) holding_.emplace(code, *holding);
    CmdChartShow_Click();
}

void ChartTab::CmdChartShow_Click() {
    Guarded(services_, [&] {
        const auto code = EnteredCode();
        if (!code) {
            services_.Status().ShowStatus(QStringLiteral("銘柄コードまたは銘柄名を入れてください"));
            return;
        }
        std::optional<charts::Purchase> purchase;
        if (holding_ && holding_->first == *code) purchase = holding_->second;
        charts::ChartRequest request{*code, SelectedPeriod(), ChkChartAdjusted->isChecked(), {}, {}, purchase};
        auto chart = charts::BuildChart(*history_(), request);
        ApplyColours();
        if (chart.Size() == 0) services_.Status().ShowStatus(Q(code->Text()) + QStringLiteral(" の株価がありません"));
        PicChart->SetChart(std::move(chart));
        PicChart->setFocus();
    });
}

}  // namespace mirolanda::app
