#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace itinerary {

// The progress of a run over a booking's receipts: a line of text, a bar and "取消". It
// keeps the window it belongs to from taking input until the run has ended, so that nobody
// edits or steps the sheet between two receipts. "取消", Esc and the close button ask the
// run to stop after the receipt in progress (the close button goes through reject() too);
// the dialog closes when the run says it ended.
class RunProgressDialog final : public QDialog {
    Q_OBJECT

public:
    RunProgressDialog(const QString &title, int count, QWidget *parent);

    void setText(const QString &text);
    void setDone(int done);
    // The run's end: the dialog closes and goes.
    void finish();

Q_SIGNALS:
    void cancelRequested();

public Q_SLOTS:
    void reject() override;

private:
    QLabel *m_text = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_finished = false;
};

} // namespace itinerary
