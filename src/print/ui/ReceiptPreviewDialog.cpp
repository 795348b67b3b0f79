#include "print/ui/ReceiptPreviewDialog.h"

#include "print/pdf/FormOutline.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// About one and a third of the real size on a 96 dpi screen: the receipt's smallest values
// stay legible.
constexpr qreal DefaultPixelsPerMm = 5.0;
constexpr qreal MinPixelsPerMm = 1.5;
constexpr qreal MaxPixelsPerMm = 24.0;
constexpr qreal ZoomStep = 1.25;
constexpr qreal MarginMm = 6.0;
const QColor Surround(226, 228, 232);
} // namespace

ReceiptPreviewView::ReceiptPreviewView(const QImage &picture, const ReceiptLayout &layout,
                                       qreal leftMm, qreal topMm, QWidget *parent)
    : QWidget(parent)
    , m_ink(receiptInk(picture))
    , m_layout(layout)
    , m_leftMm(leftMm)
    , m_topMm(topMm)
    , m_pixelsPerMm(DefaultPixelsPerMm) {
    setObjectName(u"receiptPreview"_s);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
}

// The form, in millimetres from the view's corner: room is left for a picture that the
// offsets move out of the form's area, either way.
QRectF ReceiptPreviewView::formRect() const {
    return QRectF(MarginMm + std::max<qreal>(0, -m_leftMm), MarginMm + std::max<qreal>(0, -m_topMm),
                  ReceiptWidthMm, ReceiptHeightMm);
}

QSize ReceiptPreviewView::sizeHint() const {
    const qreal widthMm = ReceiptWidthMm + std::abs(m_leftMm) + 2 * MarginMm;
    const qreal heightMm = ReceiptHeightMm + std::abs(m_topMm) + 2 * MarginMm;
    return QSize(qCeil(widthMm * m_pixelsPerMm), qCeil(heightMm * m_pixelsPerMm));
}

void ReceiptPreviewView::setZoom(qreal pixelsPerMm) {
    m_pixelsPerMm = std::clamp(pixelsPerMm, MinPixelsPerMm, MaxPixelsPerMm);
    resize(sizeHint());
    update();
}

void ReceiptPreviewView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Surround);
    const QRectF formMm = formRect();
    const QRectF form(formMm.topLeft() * m_pixelsPerMm, formMm.size() * m_pixelsPerMm);
    painter.fillRect(form, Qt::white);
    drawFormOutline(painter, form, m_layout);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(form.translated(m_leftMm * m_pixelsPerMm, m_topMm * m_pixelsPerMm), m_ink);
}

void ReceiptPreviewView::wheelEvent(QWheelEvent *event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return QWidget::wheelEvent(event);
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        Q_EMIT zoomStepRequested(steps);
    event->accept();
}

ReceiptPreviewDialog::ReceiptPreviewDialog(const QImage &picture, const ReceiptLayout &layout,
                                           qreal leftMm, qreal topMm, QWidget *parent)
    : QDialog(parent) {
    setObjectName(u"previewDialog"_s);
    setWindowTitle(u"打印预览"_s);

    m_view = new ReceiptPreviewView(picture, layout, leftMm, topMm);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignCenter);
    connect(m_view, &ReceiptPreviewView::zoomStepRequested, this, &ReceiptPreviewDialog::zoomBy);

    const auto button = [this](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *zoomOut = button(u"缩小"_s, u"zoomOut"_s);
    QPushButton *zoomIn = button(u"放大"_s, u"zoomIn"_s);
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(u"zoomLevel"_s);
    m_zoomLabel->setMinimumWidth(48);
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    QPushButton *print = button(u"打印"_s, u"previewPrint"_s);
    QPushButton *savePdf = button(u"另存为PDF…"_s, u"previewSavePdf"_s);
    QPushButton *close = button(u"关闭"_s, u"previewClose"_s);
    // No default button: an Enter meant to close the preview must not spend a form.
    connect(zoomOut, &QPushButton::clicked, this, [this] { zoomBy(-1); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { zoomBy(1); });
    connect(new QShortcut(QKeySequence::ZoomIn, this), &QShortcut::activated, this,
            [this] { zoomBy(1); });
    connect(new QShortcut(QKeySequence::ZoomOut, this), &QShortcut::activated, this,
            [this] { zoomBy(-1); });
    connect(print, &QPushButton::clicked, this, [this] { done(Print); });
    connect(savePdf, &QPushButton::clicked, this, [this] { done(SaveAsPdf); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(zoomOut);
    buttons->addWidget(m_zoomLabel);
    buttons->addWidget(zoomIn);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(savePdf);
    buttons->addWidget(close);
    auto *layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(m_scroll);
    layoutBox->addLayout(buttons);

    const QSize content = m_view->sizeHint();
    resize(std::min(content.width() + 40, 1200), std::min(content.height() + 90, 760));
    showZoom();
}

void ReceiptPreviewDialog::zoomBy(int steps) {
    m_view->setZoom(m_view->zoom() * std::pow(ZoomStep, steps));
    showZoom();
}

// As a share of the form's real size on this screen.
void ReceiptPreviewDialog::showZoom() {
    const qreal realPixelsPerMm = m_view->logicalDpiX() / MillimetresPerInch;
    m_zoomLabel->setText(u"%1%"_s.arg(qRound(100 * m_view->zoom() / realPixelsPerMm)));
}

} // namespace itinerary
