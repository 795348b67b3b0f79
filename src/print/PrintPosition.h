#pragma once

#include <QObject>
#include <QString>

namespace itinerary {

// The operator's print position: the texts of the offset fields `leftr` (millimetres to the
// right) and `topb` (millimetres down), both "0" by default, and the four nudge controls
// that move them by one millimetre. The window's two offset text boxes bind to it both
// ways. The texts are kept as typed; they are read as numbers only when a print needs them.
class PrintPosition final : public QObject {
    Q_OBJECT

public:
    explicit PrintPosition(QObject *parent = nullptr);

    QString leftr() const { return m_leftr; }
    QString topb() const { return m_topb; }
    void setLeftr(const QString &text);
    void setTopb(const QString &text);

    // "<<", ">>", "︽", "︾": one millimetre left, right, up, down. The result is written in
    // the shortest general number form (2.5 becomes 1.5 under "<<"); there are no limits. An
    // offset that a print cannot use (empty, not a number, beyond about 577.9 mm) counts as
    // 0, so a nudge on it gives -1 or 1.
    void cmdtoleft_Click();
    void cmdtoright_Click();
    void cmdtotop_Click();
    void cmdtobum_Click();

Q_SIGNALS:
    void leftrChanged(const QString &text);
    void topbChanged(const QString &text);

private:
    static QString nudged(const QString &text, int change);

    QString m_leftr = QStringLiteral("0");
    QString m_topb = QStringLiteral("0");
};

} // namespace itinerary
