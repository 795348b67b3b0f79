#pragma once

#include "base/Messages.h"

class QWidget;

namespace itinerary {

// Messages as the operator sees them: a modal box with one OK button and no icon, titled
// with the application's title unless a title of its own is given.
class MessageBoxMessages final : public Messages {
public:
    explicit MessageBoxMessages(QWidget *parent)
        : m_parent(parent) {}

    void setDefaultTitle(const QString &title) { m_defaultTitle = title; }
    void showMessage(const QString &text, const QString &title = QString()) override;

private:
    QWidget *m_parent;
    QString m_defaultTitle;
};

} // namespace itinerary
