// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/AccessibleStatusBar.h"

#include "platform/widgets/StatusBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace platform {

namespace {

// A panel has no widget of its own, so its interface is kept and registered by the bar's.
class PanelAccessible : public QAccessibleInterface {
public:
    PanelAccessible(TStatusBar* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ && index_ < bar_->PanelCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        return bar_ ? QAccessible::queryAccessibleInterface(bar_) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return QString::fromStdString(bar_->PanelText(index_)).trimmed();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        const TRect r = bar_->PanelRect(index_);
        const QPoint topLeft = bar_->mapToGlobal(QPoint(r.Left, r.Top));
        return {topLeft, QSize(r.Width(), r.Height())};
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !bar_ || !bar_->isVisible();
        return s;
    }

private:
    QPointer<TStatusBar> bar_;
    int index_;
};

class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(TStatusBar* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    ~StatusBarAccessible() override {
        for (QAccessible::Id id : panels_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return bar()->PanelCount(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (static_cast<int>(panels_.size()) <= index) {
            auto* panel = new PanelAccessible(bar(), static_cast<int>(panels_.size()));
            panels_.push_back(QAccessible::registerAccessibleInterface(panel));
        }
        return QAccessible::accessibleInterface(panels_[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < panels_.size(); ++i)
            if (QAccessible::accessibleInterface(panels_[i]) == child)
                return static_cast<int>(i);
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        QStringList texts;
        for (int i = 0; i < childCount(); ++i)
            texts << child(i)->text(QAccessible::Name);
        return texts.join(QLatin1Char(' ')).simplified();
    }

private:
    TStatusBar* bar() const { return static_cast<TStatusBar*>(widget()); }

    mutable std::vector<QAccessible::Id> panels_;
};

} // namespace

QAccessibleInterface* AccessibleStatusBarFactory(QObject* object) {
    if (auto* bar = qobject_cast<TStatusBar*>(object))
        return new StatusBarAccessible(bar);
    return nullptr;
}

void AnnouncePanelText(QObject* bar, int index) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(bar, QAccessible::NameChanged);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

} // namespace platform
