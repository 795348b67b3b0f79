#include "app/RunProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace itinerary {

RunProgressDialog::RunProgressDialog(const QString &title, int count, QWidget *parent)
    : QDialog(parent) {
    setObjectName(u"runProgress"_s);
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    m_text = new QLabel(this);
    m_text->setObjectName(u"progressText"_s);
    m_text->setMinimumWidth(320);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, count);
    m_bar->setValue(0);
    m_cancel = new QPushButton(u"取消"_s, this);
    m_cancel->setObjectName(u"progressCancel"_s);
    connect(m_cancel, &QPushButton::clicked, this, &RunProgressDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
}

void RunProgressDialog::setText(const QString &text) {
    m_text->setText(text);
}

void RunProgressDialog::setDone(int done) {
    m_bar->setValue(done);
}

void RunProgressDialog::finish() {
    m_finished = true;
    accept();
}

// Asked once; the receipt under way still ends as it would have.
void RunProgressDialog::reject() {
    if (m_finished || !m_cancel->isEnabled())
        return;
    m_cancel->setEnabled(false);
    m_cancel->setText(u"正在取消…"_s);
    Q_EMIT cancelRequested();
}

} // namespace itinerary
