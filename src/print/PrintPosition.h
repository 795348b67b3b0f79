#pragma once

#include <QObject>
#include <QString>

namespace itinerary {

// The operator's print position: the texts of the offset fields `leftOffsetMm` (millimetres to the
// right) and `topOffsetMm` (millimetres down), both "0" by default, and the four nudge controls
// that move them by one millimetre. The window's two offset text boxes bind to it both
// ways. The texts are kept as typed; they are read as numbers only when a print needs them.
class PrintPosition final : public QObject {
    Q_OBJECT

public:
    explicit PrintPosition(QObject *parent = nullptr);

    QString leftOffsetMm() const { return m_leftOffsetMm; }
    QString topOffsetMm() const { return m_topOffsetMm; }
    void setLeftOffsetMm(const QString &text);
    void setTopOffsetMm(const QString &text);

    // "<<", ">>", "︽", "︾": one millimetre left, right, up, down. The result is written in
    // the shortest general number form (2.5 becomes 1.5 under "<<"); there are no limits. An
    // offset that a print cannot use (empty, not a number, beyond about 577.9 mm) counts as
    // 0, so a nudge on it gives -1 or 1.
    void nudgeLeft();
    void nudgeRight();
    void nudgeUp();
    void nudgeDown();

Q_SIGNALS:
    void leftOffsetMmChanged(const QString &text);
    void topOffsetMmChanged(const QString &text);

private:
    static QString nudged(const QString &text, int change);

    QString m_leftOffsetMm = QStringLiteral("0");
    QString m_topOffsetMm = QStringLiteral("0");
};

} // namespace itinerary
