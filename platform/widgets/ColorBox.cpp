// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ColorBox.h"

#include "platform/widgets/AccessibleWidgets.h"
#include "platform/widgets/ComboColors.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <array>

namespace platform {

namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

constexpr std::array<NamedColor, 16> kStandardColors{{
    {clBlack, "Black"},
    {clMaroon, "Maroon"},
    {clGreen, "Green"},
    {clOlive, "Olive"},
    {clNavy, "Navy"},
    {clPurple, "Purple"},
    {clTeal, "Teal"},
    {clGray, "Gray"},
    {clSilver, "Silver"},
    {clRed, "Red"},
    {clLime, "Lime"},
    {clYellow, "Yellow"},
    {clBlue, "Blue"},
    {clFuchsia, "Fuchsia"},
    {clAqua, "Aqua"},
    {clWhite, "White"},
}};

constexpr int kCustomRole = Qt::UserRole + 1;

// The colour in a black frame. Set pixel by pixel: a painter on each of the 33 swatches cost
// a tenth of the game's start-up work above the toolkit's own.
QIcon swatch(TColor color) {
    QImage image(14, 12, QImage::Format_RGB32);
    image.fill(color == clNone ? QColor(Qt::white) : ToQColor(color));
    const QRgb frame = qRgb(0, 0, 0);
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, 0, frame);
        image.setPixel(x, image.height() - 1, frame);
    }
    for (int y = 0; y < image.height(); ++y) {
        image.setPixel(0, y, frame);
        image.setPixel(image.width() - 1, y, frame);
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

TColorBox::TColorBox(QWidget* parent, unsigned style) : QComboBox(parent) {
    setEditable(false);
    setIconSize(QSize(14, 12));
    // The style's menu-like list would ignore the entries' height.
    setItemDelegate(new QStyledItemDelegate(this));
    if (style & cbStandardColors) {
        for (const NamedColor& entry : kStandardColors)
            addColor(entry.color, QString::fromLatin1(entry.name));
    }
    if (style & cbIncludeNone)
        addColor(clNone, QStringLiteral("None"));
    setCurrentIndex(0);
    SpeakChoiceChanges(this);
    connect(this, &QComboBox::activated, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

// The classic chooser is a flat field in its background colour beside its drop button, not a
// push button with a gradient.
void TColorBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.editable = true;
    style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
    option.editable = false;
    style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &painter, this);
}

void TColorBox::addColor(TColor color, const QString& name) {
    addItem(swatch(color), name, QVariant(static_cast<int>(color)));
    setItemData(count() - 1, QSize(0, itemHeight_), Qt::SizeHintRole);
}

TColor TColorBox::Colors(int index) const {
    return static_cast<TColor>(itemData(index).toInt());
}

TColor TColorBox::Selected() const {
    return currentIndex() < 0 ? clBlack : Colors(currentIndex());
}

int TColorBox::customIndex() const {
    for (int i = 0; i < count(); ++i)
        if (itemData(i, kCustomRole).toBool())
            return i;
    return -1;
}

void TColorBox::SetSelected(TColor color) {
    const QSignalBlocker quiet(this);
    for (int i = 0; i < count(); ++i) {
        if (Colors(i) == color && !itemData(i, kCustomRole).toBool()) {
            setCurrentIndex(i);
            return;
        }
    }
    int custom = customIndex();
    if (custom < 0) {
        addColor(color, QString());
        custom = count() - 1;
        setItemData(custom, true, kCustomRole);
    }
    const auto bits = static_cast<std::uint32_t>(color);
    setItemText(custom, QStringLiteral("$%1").arg(bits, 8, 16, QLatin1Char('0')).toUpper());
    setItemIcon(custom, swatch(color));
    setItemData(custom, QVariant(static_cast<int>(color)));
    setCurrentIndex(custom);
}

void TColorBox::SetItemHeight(int height) {
    itemHeight_ = height;
    for (int i = 0; i < count(); ++i)
        setItemData(i, QSize(0, height), Qt::SizeHintRole);
}

void TColorBox::SetColors(TColor background, TColor text) {
    SetComboColors(*this, background, text);
}

} // namespace platform
