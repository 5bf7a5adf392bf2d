// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/AccessibleWidgets.h"

#include "platform/widgets/AccessibleEvents.h"

#include "platform/widgets/BitBtn.h"
#include "platform/widgets/Panel.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TrackBar.h"
#include "platform/widgets/WidgetPartAccessible.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPointer>

#include <vector>

namespace platform {

namespace {

// A panel has no widget of its own, so its interface is kept and registered by the bar's.
class PanelAccessible : public WidgetPartAccessible {
public:
    PanelAccessible(TStatusBar* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ && index_ < bar_->PanelCount(); }
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
    QObject* owner() const override { return bar_; }

    QPointer<TStatusBar> bar_;
    int index_;
};

// The bar keeps its last notice in a property: the notice has no widget of its own.
const char* const kNoticeProperty = "velmarNotice";

// The bar's notice: a notification inside a status bar, which readers speak as soon as it shows,
// without its role and whatever holds the focus.
class NoticeAccessible : public WidgetPartAccessible {
public:
    explicit NoticeAccessible(TStatusBar* bar) : bar_(bar) {}

    bool isValid() const override { return !bar_.isNull(); }
    QAccessible::Role role() const override { return QAccessible::Notification; }

    QString text(QAccessible::Text t) const override {
        return bar_ && t == QAccessible::Name ? NoticeText(bar_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    // No place of its own on the screen: a review of the screen passes it by.
    QRect rect() const override { return {}; }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        return s;
    }

private:
    QObject* owner() const override { return bar_; }

    QPointer<TStatusBar> bar_;
};

class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(TStatusBar* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    ~StatusBarAccessible() override {
        for (QAccessible::Id id : panels_)
            QAccessible::deleteAccessibleInterface(id);
        if (notice_)
            QAccessible::deleteAccessibleInterface(notice_);
    }

    // The panels, then the notice.
    int childCount() const override { return bar()->PanelCount() + 1; }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (index == bar()->PanelCount()) {
            if (!notice_)
                notice_ = QAccessible::registerAccessibleInterface(new NoticeAccessible(bar()));
            return QAccessible::accessibleInterface(notice_);
        }
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
        if (notice_ && QAccessible::accessibleInterface(notice_) == child)
            return bar()->PanelCount();
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override { return PartAt(*this, x, y); }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        QStringList texts;
        for (int i = 0; i < bar()->PanelCount(); ++i)
            texts << child(i)->text(QAccessible::Name);
        return texts.join(QLatin1Char(' ')).simplified();
    }

private:
    TStatusBar* bar() const { return static_cast<TStatusBar*>(widget()); }

    mutable std::vector<QAccessible::Id> panels_;
    mutable QAccessible::Id notice_ = 0;
};

class TrackBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TrackBarAccessible(TTrackBar* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QString::number(bar()->Position());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->Position(); }
    QVariant minimumValue() const override { return bar()->Min(); }
    QVariant maximumValue() const override { return bar()->Max(); }
    QVariant minimumStepSize() const override { return bar()->LineSize(); }

    // A reader's change is the user's, so it is reported as a drag of the thumb would be.
    void setCurrentValue(const QVariant& value) override { bar()->UserMove(value.toInt()); }

private:
    TTrackBar* bar() const { return static_cast<TTrackBar*>(widget()); }
};

} // namespace

QString AccessibleCaption(const std::string& caption) {
    const QString text = QString::fromStdString(caption);
    QString spoken;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        spoken += text[i];
    }
    return spoken.simplified();
}

CaptionAccessible::CaptionAccessible(QWidget* widget, QAccessible::Role role,
                                     std::function<std::string()> caption,
                                     std::function<void()> press)
    : QAccessibleWidget(widget, role), caption_(std::move(caption)), press_(std::move(press)) {}

QString CaptionAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return AccessibleCaption(caption_());
    return QAccessibleWidget::text(t);
}

QStringList CaptionAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (press_ && widget()->isEnabled())
        names.prepend(pressAction());
    return names;
}

void CaptionAccessible::doAction(const QString& name) {
    if (name == pressAction() && press_ && widget()->isEnabled())
        press_();
    else
        QAccessibleWidget::doAction(name);
}

QAccessibleInterface* AccessibleWidgetFactory(QObject* object) {
    if (auto* bar = qobject_cast<TStatusBar*>(object))
        return new StatusBarAccessible(bar);
    if (auto* bar = qobject_cast<TTrackBar*>(object))
        return new TrackBarAccessible(bar);
    if (auto* button = qobject_cast<TBitBtn*>(object))
        return new CaptionAccessible(
            button, QAccessible::PushButton, [button] { return button->Caption(); },
            [button] { button->animateClick(); });
    if (auto* panel = qobject_cast<TPanel*>(object))
        return new CaptionAccessible(panel, QAccessible::Grouping,
                                     [panel] { return panel->Caption(); });
    return nullptr;
}

void SpeakChoiceChanges(QComboBox* box) {
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box](int index) {
        if (!AccessibilityListening() || index < 0 || !box->hasFocus() || box->view()->isVisible())
            return;
        QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(box);
        QAccessibleInterface* list = combo ? combo->child(0) : nullptr;
        QAccessibleTableInterface* entries = list ? list->tableInterface() : nullptr;
        QAccessibleInterface* entry = entries ? entries->cellAt(index, 0) : nullptr;
        if (!entry)
            return;
        QAccessibleEvent chosen(entry, QAccessible::Focus);
        SendAccessibleEvent(chosen);
    });
}

QString NoticeText(const TStatusBar* bar) {
    return bar->property(kNoticeProperty).toString();
}

void AnnounceNotice(TStatusBar* bar, const QString& text) {
    bar->setProperty(kNoticeProperty, text);
    if (!AccessibilityListening() || text.isEmpty())
        return;
    // A notification is spoken when it shows; it shows anew for every notice.
    QAccessibleEvent shown(bar, QAccessible::ObjectShow);
    shown.setChild(bar->PanelCount());
    SendAccessibleEvent(shown);
}

void AnnouncePanelText(QObject* bar, int index) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(bar, QAccessible::NameChanged);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

} // namespace platform
