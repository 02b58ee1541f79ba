// A one-line label whose text is never cut off unseen: a text wider than the label ends in
// "…" and its tooltip holds it whole, with the detail (the HTTP library's own words for a
// failure, say) on a line below when there is one.
#pragma once

#include <QLabel>

namespace mirolanda::app {

class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void SetFullText(const QString& text, const QString& detail = {});
    QString FullText() const { return full_; }
    QString Detail() const { return detail_; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Refresh();

    QString full_;
    QString detail_;
};

}  // namespace mirolanda::app
