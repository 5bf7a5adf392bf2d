// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/SharedPaletteStyle.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

namespace platform {

namespace {

// A window's palettes differ only in a colour or two; past this many, a palette is drawn
// as it stands rather than kept.
constexpr std::size_t kMostPalettes = 32;

} // namespace

// Lends the option the shared palette for one drawing. The options are the caller's own
// temporaries, so the palette is put back before it sees them again.
class SharedPaletteStyle::Shared {
public:
    Shared(const SharedPaletteStyle& style, const QStyleOption* option)
        : option_(const_cast<QStyleOption*>(option)) {
        if (!option_)
            return;
        if (const QPalette* shared = style.sharedEqualTo(option_->palette)) {
            own_ = option_->palette;
            option_->palette = *shared;
            // Equal palettes may stand in different groups (a disabled button's, say).
            option_->palette.setCurrentColorGroup(own_.currentColorGroup());
            lent_ = true;
        }
    }
    ~Shared() {
        if (lent_)
            option_->palette = own_;
    }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

private:
    QStyleOption* option_;
    QPalette own_;
    bool lent_ = false;
};

SharedPaletteStyle::SharedPaletteStyle() : QProxyStyle(QApplication::style()->name()) {}

const QPalette* SharedPaletteStyle::sharedEqualTo(const QPalette& palette) const {
    for (const QPalette& known : palettes_)
        if (known == palette)
            return &known;
    if (palettes_.size() >= kMostPalettes)
        return nullptr;
    palettes_.reserve(kMostPalettes); // the addresses handed out stay valid
    palettes_.push_back(palette);
    return &palettes_.back();
}

void SharedPaletteStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const {
    const Shared shared(*this, option);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SharedPaletteStyle::drawControl(ControlElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const Shared shared(*this, option);
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SharedPaletteStyle::drawComplexControl(ComplexControl control,
                                            const QStyleOptionComplex* option, QPainter* painter,
                                            const QWidget* widget) const {
    const Shared shared(*this, option);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QIcon SharedPaletteStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                       const QWidget* widget) const {
    if (option)
        return QProxyStyle::standardIcon(icon, option, widget);
    auto found = icons_.find(icon);
    if (found == icons_.end())
        found = icons_.emplace(icon, QProxyStyle::standardIcon(icon, nullptr, widget)).first;
    return found->second;
}

SharedPaletteStyle& SharedPalettes() {
    static QPointer<SharedPaletteStyle> style;
    if (!style) {
        style = new SharedPaletteStyle;
        style->setParent(qApp);
    }
    return *style;
}

void UseSharedPalettes(QWidget& window) {
    SharedPaletteStyle& style = SharedPalettes();
    window.setStyle(&style);
    for (QWidget* child : window.findChildren<QWidget*>())
        child->setStyle(&style);
}

} // namespace platform
