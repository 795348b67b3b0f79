#pragma once

#include "render/ReceiptLayout.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

class QLabel;
class QScrollArea;

namespace itinerary {

// The receipt as it will land on the form: the form's outline, and over it the picture the
// rendering service returned, exactly as returned, shifted by the print offsets.
class ReceiptPreviewView final : public QWidget {
    Q_OBJECT

public:
    ReceiptPreviewView(const QImage &picture, const ReceiptLayout &layout, qreal leftMm,
                       qreal topMm, QWidget *parent = nullptr);

    // Screen pixels per millimetre of the form.
    qreal zoom() const { return m_pixelsPerMm; }
    void setZoom(qreal pixelsPerMm);
    QSize sizeHint() const override;

Q_SIGNALS:
    // Ctrl and the wheel: one notch in or out.
    void zoomStepRequested(int steps);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QRectF formRect() const;

    QImage m_ink;
    ReceiptLayout m_layout;
    qreal m_leftMm;
    qreal m_topMm;
    qreal m_pixelsPerMm;
};

// The preview dialog, "打印预览": the view with zoom, and the buttons "打印", "另存为PDF…"
// and "关闭". It prints and saves nothing itself: it ends with the operator's choice and
// the window carries it out.
class ReceiptPreviewDialog final : public QDialog {
    Q_OBJECT

public:
    enum Choice { Close = QDialog::Rejected, Print = 2, SaveAsPdf = 3 };

    ReceiptPreviewDialog(const QImage &picture, const ReceiptLayout &layout, qreal leftMm,
                         qreal topMm, QWidget *parent = nullptr);

    ReceiptPreviewView *view() const { return m_view; }
    // Zoom in (positive) or out by whole steps, within the limits.
    void zoomBy(int steps);

private:
    void showZoom();

    ReceiptPreviewView *m_view = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_zoomLabel = nullptr;
};

} // namespace itinerary
