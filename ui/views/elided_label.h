#pragma once

#include <QLabel>

// A status-bar pane that takes whatever width its layout gives it and shortens its text with "..."
// when the text is wider, instead of asking for the text's width.
class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ElidedLabel(const QString& text = QString(), QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    // The text as the pane shows it at its present width.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
